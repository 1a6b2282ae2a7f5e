#pragma once
// Zero-filled memory that starts on a page boundary. An uncached volume write from memory that
// is not page-aligned may reach the device as more than one request.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv {

class TAlignedBuffer {
public:
  static constexpr size_t PageBytes = 4096;

  // Makes room for at least Bytes; a block that had to grow holds zeros again. Never shrinks.
  void Reserve(size_t Bytes) {
    if (Bytes <= size_) return;
    std::vector<uint8_t> storage(Bytes + PageBytes - 1, 0);
    const auto address = reinterpret_cast<std::uintptr_t>(storage.data());
    data_ = storage.data() + ((PageBytes - address % PageBytes) % PageBytes);
    storage_.swap(storage);
    size_ = Bytes;
  }
  uint8_t* Data() { return data_; }
  size_t Size() const { return size_; }

private:
  std::vector<uint8_t> storage_;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace orv
