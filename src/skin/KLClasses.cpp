#include "skin/KLClasses.h"

#include "base/Exceptions.h"
#include "base/Filer.h"
#include "base/ZStreams.h"

namespace orv {

const TClassInfo& TKLStoredStream::StaticClassInfo() {
  // Compressed declares no default: definitions always hold it.
  static const TClassInfo info =
      TClassBuilder<TKLStoredStream>("TKLStoredStream", &TComponent::StaticClassInfo())
          .Boolean("Compressed", &TKLStoredStream::Compressed, &TKLStoredStream::SetCompressed)
          .Info();
  return info;
}

TKLStoredStream::TKLStoredStream(TComponent* owner) : TComponent(owner), binStream_(new TMemoryStream) {}

TKLStoredStream::~TKLStoredStream() { delete binStream_; }

void TKLStoredStream::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  const bool hasContent = binStream_->Size() > 0;
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
      hasContent && !compressed_);
  filer.DefineBinaryProperty(
      "CData", [this](TStream& s) { ReadCompressedData(s); }, [this](TStream& s) { WriteCompressedData(s); },
      hasContent && compressed_);
}

void TKLStoredStream::ReadData(TStream& stream) {
  binStream_->Clear();
  binStream_->CopyFrom(stream, 0);
}

void TKLStoredStream::WriteData(TStream& stream) { stream.CopyFrom(*binStream_, 0); }

void TKLStoredStream::ReadCompressedData(TStream& stream) {
  binStream_->Clear();
  TDecompressionStream unzip(stream);
  uint8_t buffer[16384];
  // A damaged value keeps what could be decoded; the consumers notice the short content.
  try {
    for (;;) {
      int64_t n = unzip.Read(buffer, sizeof buffer);
      if (n == 0) break;
      binStream_->WriteBuffer(buffer, n);
    }
  } catch (const Exception&) {
  }
}

void TKLStoredStream::WriteCompressedData(TStream& stream) {
  TCompressionStream zip(stream);
  try {
    zip.CopyFrom(*binStream_, 0);
  } catch (const Exception&) {
  }
  zip.Finish();
}

namespace {

void WriteCount(TStream& stream, int64_t count) {
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(static_cast<uint64_t>(count) >> (8 * i));
  stream.WriteBuffer(b, 8);
}

int64_t ReadCount(TStream& stream) {
  uint8_t b[8];
  stream.ReadBuffer(b, 8);
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | b[i];
  return static_cast<int64_t>(v);
}

}  // namespace

void WriteStringToStream(TStream& Stream, const std::string& S) {
  TMemoryStream bytes;
  bytes.WriteBuffer(S.data(), static_cast<int64_t>(S.size()));
  const int64_t count = bytes.Size();
  WriteCount(Stream, count);
  if (count > 0) Stream.CopyFrom(bytes, 0);
}

void ReadStringFromStream(TStream& Stream, std::string& S) {
  const int64_t count = ReadCount(Stream);
  if (count <= 0) {
    S.clear();
    return;
  }
  if (count > Stream.Size() - Stream.Position()) throw EReadError();
  try {
    std::string bytes(static_cast<size_t>(count), '\0');
    Stream.ReadBuffer(bytes.data(), count);
    S = std::move(bytes);
  } catch (const Exception&) {
    S.clear();
  }
}

void WriteStreamToStream(TStream& Stream, TStream& Source) {
  const int64_t count = Source.Size();
  WriteCount(Stream, count);
  Source.SetPosition(0);
  if (count > 0) Stream.CopyFrom(Source, count);
}

void ReadStreamFromStream(TStream& Stream, TMemoryStream& Dest) {
  Dest.Clear();
  const int64_t count = ReadCount(Stream);
  if (count <= 0) return;
  if (count > Stream.Size() - Stream.Position()) throw EReadError();
  Dest.CopyFrom(Stream, count);
}

}  // namespace orv
