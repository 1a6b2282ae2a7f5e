#include "skin/KLClasses.h"

#include <new>

#include "base/Exceptions.h"
#include "base/Filer.h"
#include "base/LittleEndian.h"
#include "base/TextForm.h"
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
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, hasContent && !compressed_);
  filer.DefineBinaryProperty(
      "CData", [this](TStream& s) { ReadCompressedData(s); }, [this](TStream& s) { WriteCompressedData(s); },
      hasContent && compressed_);
}

void TKLStoredStream::ReadData(TStream& stream) {
  damaged_ = false;
  binStream_->Clear();
  binStream_->CopyFrom(stream, 0);
}

void TKLStoredStream::WriteData(TStream& stream) { stream.CopyFrom(*binStream_, 0); }

// A damaged value keeps what could be decoded and raises nothing (the form goes on loading);
// Damaged tells, and the consumers notice the short content.
void TKLStoredStream::ReadCompressedData(TStream& stream) {
  binStream_->Clear();
  damaged_ = true;
  TDecompressionStream unzip(stream);
  uint8_t buffer[16384];
  try {
    for (;;) {
      const int64_t n = unzip.Read(buffer, sizeof buffer);
      if (n == 0) break;
      if (binStream_->Size() + n > StoredStreamMaxSize) return;
      binStream_->WriteBuffer(buffer, n);
    }
  } catch (const Exception&) {
    return;  // Damaged stays set: the zlib data is broken
  } catch (const std::bad_alloc&) {
    return;  // Damaged stays set: the memory for the content ran out
  }
  damaged_ = !unzip.Ended();
}

// The written property holds whatever the compressor flushed; Damaged tells that it is short.
void TKLStoredStream::WriteCompressedData(TStream& stream) {
  TCompressionStream zip(stream);
  damaged_ = false;
  try {
    zip.CopyFrom(*binStream_, 0);
  } catch (const Exception&) {
    damaged_ = true;
  }
  zip.Finish();
}

namespace {

void WriteCount(TStream& stream, int64_t count) { WriteLE(stream, count); }
int64_t ReadCount(TStream& stream) { return ReadLE<int64_t>(stream); }

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
    S.clear();  // a block that cannot be read whole is read as none, never as a piece
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

void ReadComponentFromText(const std::string& Text, TComponent* Component) {
  TKLXSkinStream stream;
  ObjectTextToBinary(Text, stream);
  stream.SetPosition(0);
  TReader reader(stream);
  reader.OnError = [](TReader&, const std::string&, bool& handled) { handled = true; };
  // Skin texts name the handlers of the form that holds the component, not its own methods.
  reader.OnFindMethod = [Component](TReader&, const std::string& name, TMethodValue& method, bool& error) {
    TComponent* owner = Component->Owner();
    std::optional<TMethodValue> found = owner ? FindPublishedMethod(*owner, name) : std::nullopt;
    method = found ? std::move(*found) : TMethodValue{};
    error = !found;
  };
  reader.ReadRootComponent(Component);
}

}  // namespace orv
