// Frozen copy of the engine as it was before the vector rewrite: the reference
// that the differential tests hold the new engine to. Do not change it.
#include "tests/reference/WaveShape.h"

#include <algorithm>

namespace brume::reference {

void fillNoiseTables(NoiseTables& tables, ClassicRandom& random) noexcept {
  constexpr std::int32_t kLast = kNoiseTableSize - 1;
  constexpr std::int32_t kMaxSegment = 25;

  for (float& value : tables.table1) {
    value = static_cast<float>(random.next() - 16383) * 0.00006103515625f;  // 2^-14
  }

  // The square wave flips after every value of table 1 above 0.7.
  float level = -1.0f;
  for (std::int32_t i = 0; i < kNoiseTableSize; ++i) {
    tables.table2[i] = level;
    if (tables.table1[i] > 0.7) level = -level;
  }

  // Straight segments between anchors of table 1, 1 to 25 entries apart.
  const float* anchors = tables.table1;
  std::int32_t begin = 0;
  std::int32_t end = 5;
  for (std::int32_t k = 0; k < kNoiseTableSize; ++k) {
    tables.table3[k] = anchors[begin] + (anchors[end] - anchors[begin]) * static_cast<float>(k - begin) /
                                            static_cast<float>(end - begin);
    if (k == end) {
      begin = end;
      end = std::min(k + 1 + random.next() % kMaxSegment, kLast);
    }
  }
}

}  // namespace brume::reference
