// brume7-sounds: the build's program for the sound library. It turns bank
// files into VST 2 banks and hands the library to scripts.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/sound-library/BankPreset.h"
#include "tools/sound-library/ReferencePhrase.h"
#include "tools/sound-library/SoundBank.h"

namespace {

using brume::sounds::SoundBank;

constexpr const char* kUsage =
    "usage: brume7-sounds fxb BANK.txt OUT.fxb    the bank as a VST 2 bank file\n"
    "       brume7-sounds check BANK.txt...       read banks, print their faults\n"
    "       brume7-sounds list BANK.txt           number, name, description, \"rings\" of each sound\n"
    "       brume7-sounds settings BANK.txt N     the values of sound N (from 0) as INDEX=VALUE lines\n"
    "       brume7-sounds phrase OUT.mid          the reference phrase as a MIDI file\n";

bool load(const std::string& path, SoundBank& bank) {
  std::vector<std::string> errors;
  if (brume::sounds::loadSoundBank(path, bank, errors)) return true;
  for (const std::string& error : errors) std::cerr << error << "\n";
  return false;
}

// Written under a temporary name and renamed, so that a failed build leaves no half file.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::string temporary = path + ".partial";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::cerr << path << ": cannot be written\n";
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::cerr << path << ": cannot be written\n";
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

int run(const std::vector<std::string>& arguments) {
  const std::string command = arguments.empty() ? "" : arguments[0];
  SoundBank bank;
  if (command == "fxb" && arguments.size() == 3) {
    if (!load(arguments[1], bank)) return 1;
    return writeFile(arguments[2], brume::writePresetFile(brume::sounds::bankPresetFile(bank))) ? 0 : 1;
  }
  if (command == "check" && arguments.size() >= 2) {
    bool good = true;
    for (std::size_t i = 1; i < arguments.size(); ++i) good = load(arguments[i], bank) && good;
    return good ? 0 : 1;
  }
  if (command == "list" && arguments.size() == 2) {
    if (!load(arguments[1], bank)) return 1;
    for (std::size_t i = 0; i < bank.sounds.size(); ++i) {
      const auto& sound = bank.sounds[i];
      std::cout << i << "\t" << sound.name << "\t" << sound.description << "\t" << (sound.rings ? "rings" : "") << "\n";
    }
    return 0;
  }
  if (command == "settings" && arguments.size() == 3) {
    if (!load(arguments[1], bank)) return 1;
    char* end = nullptr;
    const long number = std::strtol(arguments[2].c_str(), &end, 10);
    if (*end != '\0' || number < 0 || number >= static_cast<long>(bank.sounds.size())) {
      std::cerr << "brume7-sounds: " << arguments[1] << " has no sound " << arguments[2] << "\n";
      return 1;
    }
    // Nine significant digits bring every float back exactly.
    for (std::size_t index = 0; index < bank.sounds[number].values.size(); ++index)
      std::printf("%zu=%.9g\n", index, static_cast<double>(bank.sounds[number].values[index]));
    return 0;
  }
  if (command == "phrase" && arguments.size() == 2) {
    return writeFile(arguments[1], brume::sounds::referencePhraseMidiFile()) ? 0 : 1;
  }
  std::cerr << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) { return run(std::vector<std::string>(argv + 1, argv + argc)); }
