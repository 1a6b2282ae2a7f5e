// The main window. Until the skinned window arrives, a plain form that carries the language
// text, loads it while it is created, and opens the erase wizard.
object MainForm: TMainForm
  Caption = 'Orvasil'
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu, biMinimize]
  Position = poScreenCenter
  ClientWidth = 400
  ClientHeight = 300
  Font.Name = 'MS Sans Serif'
  Font.Height = -11
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  OnCloseQuery = FormCloseQuery
  object EraseBtn: TButton
    Left = 100
    Top = 130
    Width = 200
    Height = 40
    Default = True
    TabOrder = 0
    OnClick = EraseBtnClick
  end
  object lgStream: TKLStoredStream
    Compressed = True
    CData = @file('lang/english.lng')
  end
end
