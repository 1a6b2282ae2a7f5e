#include "base/Streams.h"

#include <algorithm>
#include <cstring>

#include "base/Exceptions.h"

namespace orv {

int64_t TStream::Size() {
  int64_t pos = Seek(0, SeekOrigin::Current);
  int64_t end = Seek(0, SeekOrigin::End);
  Seek(pos, SeekOrigin::Begin);
  return end;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  const int64_t total = count;
  uint8_t buf[65536];
  while (count > 0) {
    int64_t n = std::min<int64_t>(count, sizeof buf);
    source.ReadBuffer(buf, n);
    WriteBuffer(buf, n);
    count -= n;
  }
  return total;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ < 0 || pos_ >= Size()) return 0;
  int64_t n = std::min(count, Size() - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0 || pos_ < 0) return 0;
  if (pos_ + count > Size()) data_.resize(static_cast<size_t>(pos_ + count));
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
  pos_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Begin: pos_ = offset; break;
    case SeekOrigin::Current: pos_ += offset; break;
    case SeekOrigin::End: pos_ = Size() + offset; break;
  }
  return pos_;
}

void TMemoryStream::SetSize(int64_t newSize) {
  data_.resize(static_cast<size_t>(std::max<int64_t>(newSize, 0)));
  if (pos_ > newSize) pos_ = newSize;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  pos_ = 0;
}

void TMemoryStream::FromString(std::string_view bytes) {
  data_.assign(bytes.begin(), bytes.end());
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  int64_t n = source.Size();
  SetSize(n);
  if (n > 0) source.ReadBuffer(data_.data(), n);
  pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& dest) { dest.WriteBuffer(data_.data(), Size()); }

}  // namespace orv
