// A form read from its window definition: controls, properties, fonts and bound handlers.
object DefinedForm: TDefinedForm
  Left = 30
  Top = 40
  Caption = 'Defined'
  ClientHeight = 90
  ClientWidth = 240
  BorderStyle = bsDialog
  Font.Name = 'Tahoma'
  Font.Height = -13
  Font.Style = [fsBold]
  OnCreate = FormCreate
  OnCloseQuery = FormCloseQuery
  object InfoLabel: TLabel
    Left = 8
    Top = 8
    Width = 220
    Height = 30
    Caption = 'Read from a definition'
    WordWrap = True
    ParentFont = False
    Font.Name = 'Arial'
    Font.Height = -11
  end
  object OkBtn: TButton
    Left = 40
    Top = 56
    Width = 75
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 1
    OnClick = OkBtnClick
  end
  object CancelBtn: TButton
    Left = 124
    Top = 56
    Width = 75
    Height = 25
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
    TabOrder = 0
  end
end
