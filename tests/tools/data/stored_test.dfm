// Two stored streams whose contents live in ordinary files beside this definition.
object DataModule: TComponent
  object lgStream: TKLStoredStream
    Compressed = True
    CData = @file('stored/english.lng')
    Left = 8
    Top = 24
  end
  object plainStream: TKLStoredStream
    Compressed = False
    Data = @file('stored/plain.bin')
  end
end
