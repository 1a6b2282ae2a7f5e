#pragma once
// zlib streams (RFC 1950): a compressing stream that writes into another stream and a
// decompressing stream that reads from another stream.
#include <cstdint>
#include <memory>

#include "base/Streams.h"

namespace orv {

class TCompressionStream : public TStream {
public:
  // Level as zlib's: -1 is the default level.
  explicit TCompressionStream(TStream& dest, int level = -1);
  // Finishes the zlib stream unless Finish already did; errors are dropped here.
  ~TCompressionStream() override;

  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Read(void*, int64_t) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  // Flushes the remaining deflate output and the trailer into Dest.
  void Finish();

private:
  struct State;
  std::unique_ptr<State> z_;
  TStream& dest_;
  bool finished_ = false;
};

class TDecompressionStream : public TStream {
public:
  explicit TDecompressionStream(TStream& source);
  ~TDecompressionStream() override;

  // Answers 0 at the end of the zlib stream or of the source. Damaged data raises EZlibError,
  // but not before the bytes decoded up to the damage were handed out.
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void*, int64_t) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  // The zlib stream's end was read: a source that ran out before it was cut short.
  bool Ended() const;

private:
  struct State;
  std::unique_ptr<State> z_;
  TStream& source_;
};

}  // namespace orv
