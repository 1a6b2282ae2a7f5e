// The main window: no frame, drawn from three image maps. The top bar is its title bar and
// menu; below it the cover, or the panel of the maker's other programs drawn over the cover.
object MainForm: TMainForm
  Left = 0
  Top = 0
  Width = 625
  Height = 463
  Caption = 'Orvasil'
  BorderStyle = bsNone
  BorderIcons = [biSystemMenu, biMinimize]
  Position = poScreenCenter
  Font.Name = 'MS Sans Serif'
  Font.Height = -11
  OnCreate = FormCreate
  OnCloseQuery = FormCloseQuery
  object TopMap: TKLXSkinMap
    Left = 0
    Top = 0
    Width = 625
    Height = 24
    Cursor = 1
    VarAreas = False
    AutoCenter = False
    OnMapClick = TopMapMapClick
    Areas = <
      item
        DisplayName = 'back'
        Cursor = 2
        Hint = 'Back'
        Area = '0,0,41,24'
        LinkType = mlNone
      end
      item
        DisplayName = 'photo'
        Cursor = 2
        Hint = 'Erase a memory card'
        Area = '41,0,253,24'
        LinkType = mlNone
      end
      item
        DisplayName = 'programs'
        Cursor = 2
        Hint = 'More programs for your photos'
        Area = '253,0,391,24'
        LinkType = mlNone
      end
      item
        DisplayName = 'exit'
        Cursor = 2
        Hint = 'Exit'
        Area = '575,0,625,24'
        LinkType = mlNone
      end>
  end
  object CoverMap: TKLXSkinMap
    Left = 0
    Top = 24
    Width = 625
    Height = 413
    ShowHint = True
    VarAreas = True
    AutoCenter = False
    Areas = <
      item
        DisplayName = 'logo'
        Cursor = 2
        Hint = 'Visit the Tremalon web site'
        Area = '17,162,595,214'
        Link = 'http://www.tremalon.example/'
        LinkType = mlWeb
      end
      item
        DisplayName = 'click'
        Cursor = 2
        Hint = 'Tips on erasing memory cards safely'
        Area = '409,307,625,368'
        OverArea = '0,0,625,412'
        OverImgArea = '0,0,625,412'
        Link = 'http://www.tremalon.example/tips.htm'
        LinkType = mlWeb
      end>
  end
  object ProgramsMap: TKLXSkinMap
    Left = 0
    Top = 48
    Width = 625
    Height = 413
    Visible = False
    ShowHint = True
    VarAreas = False
    AutoCenter = False
    Areas = <
      item
        DisplayName = 'logo'
        Cursor = 2
        Hint = 'Visit the Tremalon web site'
        Area = '17,162,595,214'
        Link = 'http://www.tremalon.example/'
        LinkType = mlWeb
      end
      item
        DisplayName = 'revelo'
        Cursor = 2
        Hint = 'Revelo - brings back pictures deleted by mistake'
        Area = '17,287,201,407'
        Link = 'http://www.tremalon.example/revelo.htm'
        LinkType = mlWeb
      end
      item
        DisplayName = 'albaro'
        Cursor = 2
        Hint = 'Albaro - sorts and renames your photos by date'
        Area = '214,287,398,407'
        Link = 'http://www.tremalon.example/albaro.htm'
        LinkType = mlWeb
      end
      item
        DisplayName = 'sendivo'
        Cursor = 2
        Hint = 'Sendivo - shrinks pictures for e-mail in one click'
        Area = '411,287,595,407'
        Link = 'http://www.tremalon.example/sendivo.htm'
        LinkType = mlWeb
      end>
  end
  object lgStream: TKLStoredStream
    Compressed = True
    CData = @file('lang/english.lng')
  end
  object imgStream: TKLStoredStream
    Compressed = True
    CData = @file('art/mainimages.klx')
  end
  object AllImages: TKLXImages
    PixelFormat = pf24bit
  end
end
