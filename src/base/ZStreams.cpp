#include "base/ZStreams.h"

#include <zlib.h>

#include <algorithm>
#include <string>

#include "base/Exceptions.h"

namespace orv {

namespace {
const int kChunk = 16384;

[[noreturn]] void RaiseZlib(const z_stream& z, int code) {
  throw EZlibError(std::string("zlib error: ") + (z.msg ? z.msg : zError(code)));
}
}  // namespace

struct TCompressionStream::State {
  z_stream z{};
  uint8_t out[kChunk];
};

TCompressionStream::TCompressionStream(TStream& dest, int level) : z_(std::make_unique<State>()), dest_(dest) {
  int rc = deflateInit(&z_->z, level);
  if (rc != Z_OK) RaiseZlib(z_->z, rc);
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (const Exception&) {
    // A destructor must not raise; a caller that needs to know calls Finish itself.
  }
  deflateEnd(&z_->z);
}

int64_t TCompressionStream::Write(const void* buffer, int64_t count) {
  if (finished_ || count <= 0) return 0;
  const auto* in = static_cast<const uint8_t*>(buffer);
  int64_t left = count;
  while (left > 0) {
    uInt step = static_cast<uInt>(std::min<int64_t>(left, kChunk));
    z_->z.next_in = const_cast<Bytef*>(in);
    z_->z.avail_in = step;
    do {
      z_->z.next_out = z_->out;
      z_->z.avail_out = kChunk;
      int rc = deflate(&z_->z, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_BUF_ERROR) RaiseZlib(z_->z, rc);
      dest_.WriteBuffer(z_->out, kChunk - z_->z.avail_out);
    } while (z_->z.avail_in > 0);
    in += step;
    left -= step;
  }
  return count;
}

void TCompressionStream::Finish() {
  if (finished_) return;
  finished_ = true;
  z_->z.next_in = nullptr;
  z_->z.avail_in = 0;
  int rc;
  do {
    z_->z.next_out = z_->out;
    z_->z.avail_out = kChunk;
    rc = deflate(&z_->z, Z_FINISH);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) RaiseZlib(z_->z, rc);
    dest_.WriteBuffer(z_->out, kChunk - z_->z.avail_out);
  } while (rc != Z_STREAM_END);
}

int64_t TCompressionStream::Read(void*, int64_t) { throw EStreamError("Invalid stream operation"); }

int64_t TCompressionStream::Seek(int64_t offset, SeekOrigin origin) {
  if (offset == 0 && origin == SeekOrigin::Current) return static_cast<int64_t>(z_->z.total_in);
  throw EStreamError("Invalid stream operation");
}

struct TDecompressionStream::State {
  z_stream z{};
  uint8_t in[kChunk];
  bool ended = false;
  int pendingError = Z_OK;
};

TDecompressionStream::TDecompressionStream(TStream& source) : z_(std::make_unique<State>()), source_(source) {
  int rc = inflateInit(&z_->z);
  if (rc != Z_OK) RaiseZlib(z_->z, rc);
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&z_->z); }

int64_t TDecompressionStream::Read(void* buffer, int64_t count) {
  if (z_->pendingError != Z_OK) RaiseZlib(z_->z, z_->pendingError);
  if (z_->ended || count <= 0) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count && !z_->ended) {
    if (z_->z.avail_in == 0) {
      int64_t n = source_.Read(z_->in, kChunk);
      if (n <= 0) break;  // the source ended before the zlib stream did
      z_->z.next_in = z_->in;
      z_->z.avail_in = static_cast<uInt>(n);
    }
    uInt step = static_cast<uInt>(std::min<int64_t>(count - done, 1 << 30));
    z_->z.next_out = out + done;
    z_->z.avail_out = step;
    int rc = inflate(&z_->z, Z_NO_FLUSH);
    done += step - z_->z.avail_out;
    if (rc == Z_STREAM_END) {
      z_->ended = true;
    } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
      if (done == 0) RaiseZlib(z_->z, rc);
      z_->pendingError = rc;
      break;
    }
  }
  return done;
}

bool TDecompressionStream::Ended() const { return z_->ended; }

int64_t TDecompressionStream::Write(const void*, int64_t) { throw EStreamError("Invalid stream operation"); }

int64_t TDecompressionStream::Seek(int64_t offset, SeekOrigin origin) {
  if (offset == 0 && origin == SeekOrigin::Current) return static_cast<int64_t>(z_->z.total_out);
  throw EStreamError("Invalid stream operation");
}

}  // namespace orv
