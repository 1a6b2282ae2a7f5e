// The main window. Until the skinned window arrives, a plain form that carries the language
// text and loads it while it is created.
object MainForm: TMainForm
  Caption = 'Orvasil'
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu, biMinimize]
  Position = poScreenCenter
  ClientWidth = 400
  ClientHeight = 300
  OnCreate = FormCreate
  object lgStream: TKLStoredStream
    Compressed = True
    CData = @file('lang/english.lng')
  end
end
