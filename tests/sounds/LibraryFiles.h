#pragma once
// The library's bank files and the .fxb files the build made of them.

#include <cstdint>
#include <string>
#include <vector>

#include "host/PresetFile.h"
#include "tools/sound-library/SoundBank.h"

namespace brume::test {

// resources/sounds/*.txt, sorted by name.
std::vector<std::string> libraryBankFiles();

// build/presets/NAME.fxb for a bank named NAME.
std::string builtPresetPath(const std::string& bankName);

std::vector<std::uint8_t> readBytes(const std::string& path);

}  // namespace brume::test
