// render_scenario PLUGIN OUTPUT: renders the fixed scenario through the plug-in
// and writes the interleaved float samples (little-endian) to OUTPUT.
// render_scenario PLUGIN --compare REFERENCE: renders and compares with a file
// written by another build (for example the Windows DLL under Wine).
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/plugin/PluginModule.h"
#include "tests/plugin/RenderScenario.h"

namespace {

constexpr double kTolerance = 1e-6;

bool readSamples(const char* path, std::vector<float>& samples) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  samples.resize(static_cast<size_t>(size) / sizeof(float));
  const size_t read = std::fread(samples.data(), sizeof(float), samples.size(), file);
  std::fclose(file);
  return read == samples.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 4 && std::strcmp(argv[2], "--compare") == 0)) {
    std::fprintf(stderr, "usage: render_scenario PLUGIN OUTPUT | render_scenario PLUGIN --compare REFERENCE\n");
    return 2;
  }
  brume::test::PluginModule module(argv[1]);
  brume::AEffect* effect = module.loaded() ? module.open() : nullptr;
  if (!effect) {
    std::fprintf(stderr, "render_scenario: cannot open %s: %s\n", argv[1], module.error.c_str());
    return 1;
  }
  // Which vector path renders (a forced one falls back where the processor lacks it).
  constexpr brume::VstInt32 kVectorPathQuery = 0x53494D44;
  char path[64] = {};
  if (brume::test::call(effect, 50, kVectorPathQuery, kVectorPathQuery, path) == 1)
    std::printf("vector path: %s\n", path);
  const std::vector<float> samples = brume::test::renderScenario(effect);
  brume::test::call(effect, 1);

  if (argc == 3) {
    std::FILE* file = std::fopen(argv[2], "wb");
    if (!file || std::fwrite(samples.data(), sizeof(float), samples.size(), file) != samples.size()) {
      std::fprintf(stderr, "render_scenario: cannot write %s\n", argv[2]);
      return 1;
    }
    std::fclose(file);
    return 0;
  }

  std::vector<float> reference;
  if (!readSamples(argv[3], reference)) {
    std::fprintf(stderr, "render_scenario: cannot read %s\n", argv[3]);
    return 1;
  }
  if (reference.size() != samples.size()) {
    std::fprintf(stderr, "render_scenario: %zu samples here, %zu in %s\n", samples.size(), reference.size(), argv[3]);
    return 1;
  }
  double largest = 0.0;
  size_t differing = 0;
  long first = -1;
  double peak = 0.0;
  for (size_t i = 0; i < samples.size(); ++i) {
    peak = std::fmax(peak, std::fabs(samples[i]));
    const double difference = std::fabs(static_cast<double>(samples[i]) - reference[i]);
    if (!(difference <= kTolerance)) {
      ++differing;
      if (first < 0) first = static_cast<long>(i);
    }
    if (difference > largest || difference != difference) largest = difference;
  }
  std::printf("%zu samples (peak %.3f), largest difference %.3g, %zu above %.0e\n", samples.size(), peak, largest,
              differing, kTolerance);
  if (peak < 0.01) {
    std::fprintf(stderr, "render_scenario: the scenario rendered silence\n");
    return 1;
  }
  if (differing) {
    std::fprintf(stderr, "render_scenario: first difference at sample %ld (frame %ld, channel %ld): %.9g vs %.9g\n",
                 first, first / 2, first % 2, samples[static_cast<size_t>(first)],
                 reference[static_cast<size_t>(first)]);
    return 1;
  }
  return 0;
}
