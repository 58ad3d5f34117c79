// The vector kernels: which one runs, and their waves against the scalar
// shapes, with the sine's error bound over the whole phase range.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "engine/ClassicRandom.h"
#include "engine/LfoModulation.h"
#include "engine/ParameterChangeQueue.h"
#include "engine/WaveShape.h"
#include "engine/simd/VoiceKernel.h"

namespace brume {
namespace {

constexpr KernelPath kPaths[] = {KernelPath::Sse2, KernelPath::Avx2, KernelPath::Avx512};

TEST(KernelDispatch, PicksTheWidestPathTheProcessorRuns) {
  EXPECT_TRUE(kernelPathSupported(KernelPath::Sse2));
  KernelPath widest = KernelPath::Sse2;
  for (KernelPath path : kPaths) {
    if (kernelPathSupported(path)) widest = path;
  }
  EXPECT_EQ(bestKernelPath(), widest);
#if defined(__x86_64__) && !defined(_WIN32)
  EXPECT_EQ(kernelPathSupported(KernelPath::Avx512), static_cast<bool>(__builtin_cpu_supports("avx512f")));
#endif
  for (KernelPath path : kPaths) {
    const VoiceKernel& kernel = voiceKernel(path);
    // A path the processor lacks falls back to SSE2, never to code it cannot run.
    EXPECT_EQ(kernel.path, kernelPathSupported(path) ? path : KernelPath::Sse2);
    EXPECT_STREQ(kernel.name, kernelPathName(kernel.path));
  }
}

TEST(LfoTickDistance, CountsToTheNextMultipleOfAHundredAsThe32BitCounterRuns) {
  EXPECT_EQ(samplesUntilLfoTick(0), 0);
  EXPECT_EQ(samplesUntilLfoTick(1), 99);
  EXPECT_EQ(samplesUntilLfoTick(199), 1);
  EXPECT_EQ(samplesUntilLfoTick(-5), 5);  // -5 % 100 is -5: the tick is at 0
  EXPECT_EQ(samplesUntilLfoTick(-200), 0);
  // 2147483600 ticks; the next multiple lies past the wrap, at -2147483600.
  EXPECT_EQ(samplesUntilLfoTick(2147483600), 0);
  EXPECT_EQ(samplesUntilLfoTick(2147483601), 46 + 1 + 48);
  EXPECT_EQ(samplesUntilLfoTick(std::numeric_limits<std::int32_t>::max()), 1 + 48);
  EXPECT_EQ(samplesUntilLfoTick(std::numeric_limits<std::int32_t>::min()), 48);
}

TEST(ParameterChangeQueue, HandsOverInOrderAndKeepsEveryIndexWhenFull) {
  ParameterChangeQueue queue;
  std::vector<std::int32_t> applied;
  auto record = [&](std::int32_t index) { applied.push_back(index); };
  queue.drain(record);
  EXPECT_TRUE(applied.empty());

  queue.push(20);
  queue.push(6);
  queue.push(54);  // not a parameter
  queue.push(-1);
  queue.drain(record);
  EXPECT_EQ(applied, (std::vector<std::int32_t>{20, 6}));

  // Past the capacity the rest are marked, and come after the queued ones.
  applied.clear();
  for (std::uint32_t i = 0; i < ParameterChangeQueue::kCapacity; ++i) queue.push(7);
  queue.push(11);
  queue.push(16);
  queue.drain(record);
  ASSERT_EQ(applied.size(), ParameterChangeQueue::kCapacity + 2);
  EXPECT_EQ(applied[ParameterChangeQueue::kCapacity], 11);
  EXPECT_EQ(applied[ParameterChangeQueue::kCapacity + 1], 16);
  applied.clear();
  queue.push(12);
  queue.drain(record);
  EXPECT_EQ(applied, (std::vector<std::int32_t>{12}));
}

// Error of `value` against the exact sine, in units in the last place of the float result.
double ulpError(float value, double exact) {
  const float rounded = static_cast<float>(exact);
  const double ulp = std::nextafter(std::fabs(rounded), std::numeric_limits<float>::infinity()) - std::fabs(rounded);
  return std::fabs(static_cast<double>(value) - exact) / ulp;
}

class KernelShapes : public testing::TestWithParam<KernelPath> {
 protected:
  void SetUp() override {
    if (!kernelPathSupported(GetParam())) GTEST_SKIP() << "the processor lacks " << kernelPathName(GetParam());
    ClassicRandom random;
    fillNoiseTables(noise, random);
  }

  std::vector<float> values(WaveShape shape, const std::vector<float>& phases) {
    std::vector<float> result(phases.size());
    voiceKernel(GetParam())
        .shapeValues(shape, phases.data(), result.data(), static_cast<std::int32_t>(phases.size()), noise);
    return result;
  }

  NoiseTables noise;
};

// Every 2^-21 of a cycle, and the 256 floats on each side of the quadrant edges.
std::vector<float> testPhases() {
  std::vector<float> phases;
  for (std::int32_t k = 0; k < (1 << 21); ++k) phases.push_back(static_cast<float>(k) / static_cast<float>(1 << 21));
  for (float edge : {0.25f, 0.5f, 0.75f, 1.0f}) {
    float below = edge, above = edge;
    for (int i = 0; i < 256; ++i) {
      below = std::nextafter(below, 0.0f);
      phases.push_back(below);
      if (edge < 1.0f) {
        phases.push_back(above);
        above = std::nextafter(above, 1.0f);
      }
    }
  }
  phases.push_back(std::nextafter(0.0f, 1.0f));
  while (phases.size() % 16 != 0) phases.push_back(0.0f);
  return phases;
}

// The harmonics' sines are checked through their shapes below.
TEST_P(KernelShapes, SinesAreAtLeastAsAccurateAsTheLibrarySinf) {
  const std::vector<float> phases = testPhases();
  const std::vector<float> sines = values(WaveShape::Sin, phases);
  double worst = 0.0, worstLibrary = 0.0;
  float worstPhase = 0.0f;
  for (std::size_t i = 0; i < phases.size(); ++i) {
    const float angle = 6.2831855f * phases[i];
    const double exact = std::sin(static_cast<double>(angle));
    const double error = ulpError(sines[i], exact);
    if (error > worst) worst = error, worstPhase = phases[i];
    worstLibrary = std::max(worstLibrary, ulpError(std::sin(angle), exact));
  }
  // Rounded once from double: within a hair of half a unit, and no worse than sinf.
  EXPECT_LE(worst, 0.5001) << "at phase " << worstPhase;
  EXPECT_LE(worst, worstLibrary) << "at phase " << worstPhase;
  RecordProperty("sinf_worst_ulps", std::to_string(worstLibrary));
  RecordProperty("worst_ulps", std::to_string(worst));
}

TEST_P(KernelShapes, EveryShapeMatchesItsScalarFormula) {
  const std::vector<float> phases = testPhases();
  for (std::int32_t shape = 0; shape <= kWaveShapeCount; ++shape) {
    const auto waveShape = static_cast<WaveShape>(shape);
    const std::vector<float> got = values(waveShape, phases);
    std::size_t differing = 0;
    double largest = 0.0;
    for (std::size_t i = 0; i < phases.size(); ++i) {
      const float expected = waveValue(waveShape, phases[i], noise);
      if (got[i] != expected) ++differing;
      largest = std::max(largest, std::fabs(static_cast<double>(got[i]) - expected));
    }
    // The sines are rounded once from double, as the scalar shapes round theirs:
    // only values within a hair of a rounding boundary may differ, by one step.
    EXPECT_LE(largest, 1.2e-7) << "shape " << shape;
    EXPECT_LE(differing, phases.size() / 10000) << "shape " << shape << ": " << differing << " values differ";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, KernelShapes, testing::ValuesIn(kPaths),
                         [](const testing::TestParamInfo<KernelPath>& info) {
                           return std::string(kernelPathName(info.param));
                         });

}  // namespace
}  // namespace brume
