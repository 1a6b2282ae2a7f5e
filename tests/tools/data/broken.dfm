object DataModule: TComponent
  object lgStream: TKLStoredStream
    Compressed = True
