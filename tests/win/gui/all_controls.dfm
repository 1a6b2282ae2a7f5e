// A form that holds every control of the GUI layer, read from its definition (tests and a
// screenshot of it).
object AllControlsForm: TAllControlsForm
  Left = 40
  Top = 40
  Caption = 'All controls'
  ClientHeight = 330
  ClientWidth = 472
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu, biMinimize]
  Position = poScreenCenter
  ShowHint = True
  Font.Name = 'Tahoma'
  Font.Height = -11
  object TopPanel: TPanel
    Left = 0
    Top = 0
    Width = 472
    Height = 62
    BevelOuter = bvNone
    Color = clWhite
    object TopImage: TImage
      Left = 0
      Top = 0
      Width = 472
      Height = 60
      Stretch = True
    end
    object TitleShadow: TLabel
      Left = 13
      Top = 17
      Width = 300
      Height = 26
      Caption = 'All controls'
      Transparent = True
      ParentFont = False
      Font.Name = 'Verdana'
      Font.Height = -21
      Font.Style = [fsBold]
      Font.Color = 12632256
    end
    object TitleLabel: TLabel
      Left = 12
      Top = 16
      Width = 300
      Height = 26
      Caption = 'All controls'
      Transparent = True
      ParentFont = False
      Font.Name = 'Verdana'
      Font.Height = -21
      Font.Style = [fsBold]
      Font.Color = 8388608
      Cursor = 2
      Hint = 'The title'
      OnClick = TitleClick
    end
    object Progress: TProgressBar
      Left = 300
      Top = 20
      Width = 160
      Height = 20
      Max = 200
      Position = 120
    end
  end
  object Line: TBevel
    Left = 0
    Top = 62
    Width = 472
    Height = 2
    Shape = bsTopLine
  end
  object Pages: TNotebook
    Left = 0
    Top = 64
    Width = 472
    Height = 220
    PageIndex = 1
    object WelcomePage: TPage
      Caption = 'Welcome'
      object WelcomeLabel: TLabel
        Left = 12
        Top = 12
        Width = 300
        Height = 20
        Caption = 'Not shown: the second page is active.'
      end
    end
    object DrivePage: TPage
      Caption = 'Drive'
      object DriveGroup: TGroupBox
        Left = 8
        Top = 12
        Width = 456
        Height = 80
        Caption = 'Select a size'
        object SizeBox: TComboBox
          Left = 8
          Top = 24
          Width = 160
          Height = 21
          Style = csDropDownList
          DropDownCount = 4
          Items.Strings = (
            '8 MB'
            '16 MB'
            '32 MB'
            '64 MB'
            '128 MB')
          ItemIndex = 2
          Hint = 'The size of the card'
          OnChange = SizeBoxChange
        end
        object NoteLabel: TLabel
          Left = 176
          Top = 16
          Width = 273
          Height = 57
          Caption = 'Note: a word-wrapped label in a group box. If your card size is not listed here, select the closest larger size.'
          WordWrap = True
        end
      end
      object Box: TBevel
        Left = 8
        Top = 104
        Width = 456
        Height = 100
      end
      object InfoImage: TImage
        Left = 20
        Top = 120
        Width = 40
        Height = 40
      end
      object OpaqueLabel: TLabel
        Left = 72
        Top = 130
        Width = 200
        Height = 20
        Caption = 'An opaque label'
        Color = clWhite
      end
    end
  end
  object BottomPanel: TPanel
    Left = 0
    Top = 289
    Width = 472
    Height = 41
    BevelOuter = bvNone
    object BottomLine: TBevel
      Left = 0
      Top = 0
      Width = 472
      Height = 2
      Shape = bsTopLine
    end
    object OkBtn: TButton
      Left = 304
      Top = 10
      Width = 75
      Height = 25
      Caption = 'OK'
      Default = True
      ModalResult = 1
      TabOrder = 0
    end
    object CancelBtn: TButton
      Left = 392
      Top = 10
      Width = 75
      Height = 25
      Caption = 'Cancel'
      Cancel = True
      ModalResult = 2
      TabOrder = 1
    end
  end
end
