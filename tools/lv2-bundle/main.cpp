// Writes the LV2 bundle's Turtle files at build time.
// Usage: brume7-lv2-turtle BUNDLE_FOLDER BINARY_NAME MINOR_VERSION MICRO_VERSION [BANK_FILE...]
// The presets are the default program and the sound library's banks.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tools/lv2-bundle/PresetBank.h"
#include "tools/lv2-bundle/TurtleFiles.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: brume7-lv2-turtle BUNDLE_FOLDER BINARY_NAME MINOR_VERSION MICRO_VERSION [BANK_FILE...]\n");
    return 2;
  }
  const brume::lv2::BundleVersion version{std::atoi(argv[3]), std::atoi(argv[4])};
  std::string problem;
  std::vector<brume::lv2::PresetBank> banks = brume::lv2::defaultBanks();
  if (!brume::lv2::libraryBanks(std::vector<std::string>(argv + 5, argv + argc), banks, problem)) {
    std::fprintf(stderr, "brume7-lv2-turtle: %s\n", problem.c_str());
    return 1;
  }
  const auto files = brume::lv2::makeTurtleFiles(argv[2], version, banks, problem);
  if (files.empty()) {
    std::fprintf(stderr, "brume7-lv2-turtle: %s\n", problem.c_str());
    return 1;
  }
  for (const auto& file : files) {
    const std::string path = std::string(argv[1]) + "/" + file.name;
    std::ofstream out(path, std::ios::binary);
    out << file.text;
    if (!out.flush()) {
      std::fprintf(stderr, "brume7-lv2-turtle: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
