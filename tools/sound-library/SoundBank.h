#pragma once
// A bank of designed sounds, read from its text file (resources/sounds/*.txt):
//
//   # a comment
//   sound Glass Harmonica
//   about Ring-multiplied sines a fifth apart, slow attack, long tail.
//   rings
//   O2-Shape Sin
//   O2-Pitch +7
//
// "sound" starts a sound and names it, "about" describes it in one line,
// "rings" marks a sound meant to sound on past its note-off, and every other
// line is a parameter's name and its value as the instrument shows it (see
// ParameterTerms.h). Parameters not written keep their catalogue default.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"

namespace brume::sounds {

constexpr int kSoundsPerBank = 16;
constexpr std::size_t kSoundNameLength = 23;  // a program's name: 23 characters and a zero

struct Sound {
  std::string name;
  std::string description;
  bool rings = false;  // meant to sound past its note-off (a bell, a long release)
  std::array<float, kParameterCount> values{};
  int line = 0;  // where its "sound" line is, for messages
};

struct SoundBank {
  std::string name;  // the file's name without folder and extension
  std::vector<Sound> sounds;
};

// Reads a bank from its text; `fileName` names it in messages and gives the
// bank's name. False, with one "FILE:LINE: reason" line per fault, when
// anything in it is wrong: nothing of a faulty bank is to be used.
// Any thread; not real-time safe.
bool readSoundBank(const std::string& text, const std::string& fileName, SoundBank& bank,
                   std::vector<std::string>& errors);

// The same from a file on disk.
bool loadSoundBank(const std::string& path, SoundBank& bank, std::vector<std::string>& errors);

// The catalogue default of every parameter: the "Basic" program.
std::array<float, kParameterCount> basicValues();

}  // namespace brume::sounds
