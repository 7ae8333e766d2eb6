// Fuzzes the LZW decoder with an arbitrary stream and an arbitrary capacity:
// the first two bytes give the capacity (0..65535), the rest is the stream.
#include <cstdlib>
#include <vector>

#include "pack/lzw_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t capacity = data[0] | (static_cast<size_t>(data[1]) << 8);
  // An exact-size heap buffer, so ASan sees any write past the capacity.
  std::vector<uint8_t> out(capacity);
  size_t written = 0;
  LzwStatus status = Decode(data + 2, size - 2, out.data(), capacity, &written);
  if (written > capacity) std::abort();
  if (status != kLzwOk && LzwStatusText(status) == nullptr) std::abort();
  return 0;
}
