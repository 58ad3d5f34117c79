#pragma once
// A float's bit pattern, for checks that values survive bit for bit.

#include <cstdint>
#include <cstring>

namespace brume::test {

inline std::uint32_t bitsOf(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace brume::test
