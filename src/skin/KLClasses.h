#pragma once
// Stored data streams: a block of bytes carried inside a window definition, plain ("Data")
// or zlib-compressed ("CData"); and length-prefixed string and stream blocks.
#include <string>

#include "base/Component.h"
#include "base/Streams.h"

namespace orv {

// Stored content inflates to at most this many bytes; more is taken for damaged data. Ours is
// below 1 MB; the bound keeps a damaged value from exhausting a 32-bit process.
inline constexpr int64_t StoredStreamMaxSize = 32 << 20;

class TKLStoredStream : public TComponent {
  ORV_CLASSINFO(TKLStoredStream)
public:
  explicit TKLStoredStream(TComponent* owner);
  ~TKLStoredStream() override;

  TMemoryStream* BinStream() const { return binStream_; }
  bool Compressed() const { return compressed_; }
  void SetCompressed(bool value) { compressed_ = value; }
  // The content last read from or written to a definition was cut short: "CData" that was
  // truncated, damaged or inflated beyond StoredStreamMaxSize, or a compression that failed.
  // What could be decoded stays in BinStream.
  bool Damaged() const { return damaged_; }

  void DefineProperties(TFiler& filer) override;

private:
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  void ReadCompressedData(TStream& stream);
  void WriteCompressedData(TStream& stream);

  TMemoryStream* binStream_;
  bool compressed_ = false;
  bool damaged_ = false;
};

// The buffer of a component definition converted from text before it is read.
class TKLXSkinStream : public TMemoryStream {};

// Reads Text, one object definition in the text syntax, into Component. A property that
// cannot be read is skipped and reading goes on; event handlers are the published methods of
// Component's owner (a name it does not publish is skipped too). A syntax error raises
// EParserError.
void ReadComponentFromText(const std::string& Text, TComponent* Component);

// Blocks: a signed 64-bit little-endian byte count, then the bytes. Reading a count larger
// than what is left of Stream raises EReadError ("Stream read error").
void WriteStringToStream(TStream& Stream, const std::string& S);
void ReadStringFromStream(TStream& Stream, std::string& S);
void WriteStreamToStream(TStream& Stream, TStream& Source);
void ReadStreamFromStream(TStream& Stream, TMemoryStream& Dest);

}  // namespace orv
