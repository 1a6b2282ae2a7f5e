#pragma once
// Byte streams: the abstract stream with position and size, and the memory stream.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

enum class SeekOrigin { Begin, Current, End };

class TStream {
public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Read and Write move up to Count bytes and answer how many they moved.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(int64_t pos) { Seek(pos, SeekOrigin::Begin); }
  virtual int64_t Size();
  virtual void SetSize(int64_t newSize);

  // All or nothing: a short read raises EReadError, a short write EWriteError.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies Count bytes from Source's position; Count 0 copies the whole of Source from its start.
  int64_t CopyFrom(TStream& source, int64_t count);
};

// A position may be set anywhere; Read and Write at a negative one move nothing.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  // Holds a copy of Bytes, positioned at the start: the stream that ToString gives back as Bytes.
  explicit TMemoryStream(std::string_view bytes) { FromString(bytes); }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t newSize) override;

  void Clear();
  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  void LoadFromStream(TStream& source);
  void SaveToStream(TStream& dest);
  std::string ToString() const { return std::string(data_.begin(), data_.end()); }
  // Replaces the contents with a copy of Bytes and moves to the start, ready to be read.
  void FromString(std::string_view bytes);

private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

}  // namespace orv
