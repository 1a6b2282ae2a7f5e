// The erase wizard: a banner over five pages in a notebook, and a bar of buttons.
object ShredForm: TShredForm
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu, biMinimize]
  Position = poScreenCenter
  ClientWidth = 472
  ClientHeight = 346
  Font.Name = 'MS Sans Serif'
  Font.Height = -11
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  OnCloseQuery = FormCloseQuery
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
      Picture.Data = @file('art/banner.pic')
      OnClick = TopImageClick
    end
    object TopLine: TBevel
      Left = 0
      Top = 60
      Width = 472
      Height = 2
      Shape = bsTopLine
    end
    object PageShLabel: TLabel
      Left = 13
      Top = 17
      Width = 440
      Height = 26
      Transparent = True
      ParentFont = False
      Font.Name = 'Verdana'
      Font.Height = -21
      Font.Style = [fsBold]
      Font.Color = 0
      OnClick = TopImageClick
      OnMouseEnter = PageLabelMouseEnter
      OnMouseLeave = PageLabelMouseLeave
    end
    object PageLabel: TLabel
      Left = 12
      Top = 16
      Width = 440
      Height = 26
      Transparent = True
      ParentFont = False
      Font.Name = 'Verdana'
      Font.Height = -21
      Font.Style = [fsBold]
      Font.Color = 16777215
      OnClick = TopImageClick
      OnMouseEnter = PageLabelMouseEnter
      OnMouseLeave = PageLabelMouseLeave
    end
    object ProgressBar: TProgressBar
      Left = 164
      Top = 20
      Width = 301
      Height = 20
      Visible = False
    end
  end
  object Pages: TNotebook
    Left = 0
    Top = 62
    Width = 472
    Height = 243
    object WelcomePage: TPage
      Caption = 'Welcome'
      object StartRE: TKLRichEditOLE
        Left = 0
        Top = 0
        Width = 472
        Height = 243
        ReadOnly = True
        ScrollBars = ssVertical
        TabOrder = 0
        OnURLClick = RichEditURLClick
      end
    end
    object DrivePage: TPage
      Caption = 'Drive'
      object GroupBox1: TGroupBox
        Left = 8
        Top = 12
        Width = 456
        Height = 80
        object DriveBox: TKLDriveComboBox
          Left = 8
          Top = 24
          Width = 160
          Height = 22
          DriveTypes = [dtUnknown, dtNoRoot, dtRemovable, dtCDROM, dtRAMDISK]
          DropDownCount = 8
          TabOrder = 0
          OnChange = DriveBoxChange
        end
        object Label3: TLabel
          Left = 176
          Top = 16
          Width = 273
          Height = 57
          WordWrap = True
        end
      end
      object GroupBox2: TGroupBox
        Left = 8
        Top = 100
        Width = 456
        Height = 80
        object SizeBox: TComboBox
          Left = 8
          Top = 24
          Width = 160
          Height = 21
          Style = csDropDownList
          DropDownCount = 14
          Items.Strings = (
            '8 MB'
            '16 MB'
            '32 MB'
            '64 MB'
            '128 MB'
            '256 MB'
            '512 MB'
            '650 MB'
            '700 MB'
            '1 GB'
            '2 GB'
            '4 GB'
            '4.7 GB'
            '8 GB')
          ItemIndex = 0
          TabOrder = 0
        end
        object Label4: TLabel
          Left = 176
          Top = 16
          Width = 273
          Height = 57
          WordWrap = True
        end
      end
    end
    object InstallingPage: TPage
      Caption = 'Installing'
      object WaitLabel: TLabel
        Left = 12
        Top = 12
        Width = 441
        Height = 37
        WordWrap = True
      end
      object FiguresLabel: TLabel
        Left = 12
        Top = 64
        Width = 441
        Height = 52
        WordWrap = True
      end
    end
    object FinishPage: TPage
      Caption = 'Finish'
      object FinishLabel: TLabel
        Left = 12
        Top = 12
        Width = 441
        Height = 220
        WordWrap = True
      end
    end
    object AboutPage: TPage
      Caption = 'About'
      object AboutRE: TKLRichEditOLE
        Left = 0
        Top = 0
        Width = 472
        Height = 243
        ReadOnly = True
        ScrollBars = ssVertical
        TabOrder = 0
        OnURLClick = RichEditURLClick
      end
    end
  end
  object BottomPanel: TPanel
    Left = 0
    Top = 305
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
    object BackBtn: TButton
      Left = 224
      Top = 10
      Width = 75
      Height = 25
      TabOrder = 0
      OnClick = BackBtnClick
    end
    object NextBtn: TButton
      Left = 304
      Top = 10
      Width = 75
      Height = 25
      TabOrder = 1
      Default = True
      OnClick = NextBtnClick
    end
    object CancelBtn: TButton
      Left = 392
      Top = 10
      Width = 75
      Height = 25
      TabOrder = 2
      Cancel = True
      OnClick = CancelBtnClick
    end
    object RestartBtn: TButton
      Left = 224
      Top = 10
      Width = 155
      Height = 25
      TabOrder = 3
      OnClick = RestartBtnClick
    end
    object DonateBtn: TButton
      Left = 224
      Top = 10
      Width = 155
      Height = 25
      TabOrder = 4
      OnClick = DonateBtnClick
    end
  end
  object StartStream: TKLStoredStream
    Compressed = True
    CData = @file('art/start.rtf')
  end
  object AboutStream: TKLStoredStream
    Compressed = True
    CData = @file('art/about.rtf')
  end
end
