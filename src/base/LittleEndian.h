#pragma once
// Little-endian integers, as the stored formats hold them: in byte buffers and in streams.
#include <concepts>
#include <cstddef>
#include <cstdint>

#include "base/Streams.h"

namespace orv {

template <std::integral T>
T GetLE(const uint8_t* bytes) {
  uint64_t v = 0;
  for (size_t i = sizeof(T); i-- > 0;) v = (v << 8) | bytes[i];
  return static_cast<T>(v);
}

template <std::integral T>
void PutLE(uint8_t* bytes, T value) {
  const auto v = static_cast<uint64_t>(value);
  for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A short stream raises EReadError, as ReadBuffer does.
template <std::integral T>
T ReadLE(TStream& stream) {
  uint8_t bytes[sizeof(T)];
  stream.ReadBuffer(bytes, sizeof bytes);
  return GetLE<T>(bytes);
}

template <std::integral T>
void WriteLE(TStream& stream, T value) {
  uint8_t bytes[sizeof(T)];
  PutLE(bytes, value);
  stream.WriteBuffer(bytes, sizeof bytes);
}

}  // namespace orv
