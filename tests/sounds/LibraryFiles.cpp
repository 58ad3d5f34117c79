#include "tests/sounds/LibraryFiles.h"
#include "BuildPaths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace brume::test {

std::vector<std::string> libraryBankFiles() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(BRUME7_SOUNDS_DIR)) {
    if (entry.path().extension() == ".txt") files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string builtPresetPath(const std::string& bankName) {
  return std::string(BRUME7_PRESETS_DIR) + "/" + bankName + ".fxb";
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace brume::test
