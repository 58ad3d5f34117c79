#include "tools/sound-library/SoundBank.h"

#include <fstream>
#include <sstream>

#include "instrument/ParameterCatalogue.h"
#include "tools/sound-library/ParameterTerms.h"

namespace brume::sounds {
namespace {

std::string trimmed(const std::string& text) {
  const char* space = " \t\r";
  const std::size_t begin = text.find_first_not_of(space);
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(space) - begin + 1);
}

bool printable(const std::string& text) {
  for (char c : text) {
    if (c < 0x20 || c > 0x7e) return false;
  }
  return true;
}

struct Assignment {
  std::int32_t index;
  std::string term;
  int line;
};

// The parameter whose name starts the line, followed by a space; -1 if none.
// "G Wet" holds a space itself, so the longest name that fits is taken.
std::int32_t parameterOfLine(const std::string& line, std::string& term) {
  std::int32_t found = -1;
  std::size_t foundLength = 0;
  for (std::int32_t index = 0; index < kParameterCount; ++index) {
    const std::string name = parameterNames[index];
    if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 && line[name.size()] == ' ' &&
        name.size() > foundLength) {
      found = index;
      foundLength = name.size();
    }
  }
  if (found >= 0) term = trimmed(line.substr(foundLength));
  return found;
}

class BankReader {
 public:
  BankReader(const std::string& fileName, SoundBank& bank, std::vector<std::string>& errors)
      : fileName(fileName), bank(bank), errors(errors) {}

  void readLine(const std::string& rawLine, int number) {
    const std::string line = trimmed(rawLine);
    if (line.empty() || line[0] == '#') return;
    const std::size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : trimmed(line.substr(space));
    if (word == "sound") {
      finishSound();
      startSound(rest, number);
      return;
    }
    if (!inSound) {
      fail(number, "expected a \"sound NAME\" line first");
      return;
    }
    if (word == "about") {
      if (rest.empty()) fail(number, "\"about\" needs a one-line description");
      if (!printable(rest)) fail(number, "the description holds characters other than printable ASCII");
      if (!sound.description.empty()) fail(number, "a second \"about\" line for " + quotedName());
      sound.description = rest;
    } else if (line == "rings") {
      sound.rings = true;
    } else {
      std::string term;
      const std::int32_t index = parameterOfLine(line, term);
      if (index < 0) {
        fail(number, "unknown parameter \"" + word + "\" (a line is a parameter's name and its value)");
      } else if (written[index] != 0) {
        fail(number, std::string(parameterNames[index]) + " is already set on line " + std::to_string(written[index]));
      } else {
        written[index] = number;
        assignments.push_back({index, term, number});
      }
    }
  }

  void finish(int lastLine) {
    finishSound();
    if (bank.sounds.empty() && errors.empty()) fail(lastLine, "the bank holds no sound");
  }

 private:
  std::string quotedName() const { return "\"" + sound.name + "\""; }

  void fail(int line, const std::string& reason) {
    errors.push_back(fileName + ":" + std::to_string(line) + ": " + reason);
  }

  void startSound(const std::string& name, int line) {
    inSound = true;
    sound = Sound{};
    sound.name = name;
    sound.line = line;
    sound.values = basicValues();
    assignments.clear();
    written.fill(0);
    if (name.empty()) fail(line, "a sound needs a name");
    if (name.size() > kSoundNameLength)
      fail(line, "the name \"" + name + "\" has " + std::to_string(name.size()) +
                     " characters; a program's name holds " + std::to_string(kSoundNameLength));
    if (!printable(name)) fail(line, "the name holds characters other than printable ASCII");
    for (const Sound& earlier : bank.sounds) {
      if (earlier.name == name)
        fail(line, "a sound named \"" + name + "\" is already on line " + std::to_string(earlier.line));
    }
    if (static_cast<int>(bank.sounds.size()) == kSoundsPerBank)
      fail(line, "a bank holds at most " + std::to_string(kSoundsPerBank) + " sounds");
  }

  // Range controls speak in their target's units, so the aims are read first.
  void finishSound() {
    if (!inSound) return;
    inSound = false;
    if (sound.description.empty()) fail(sound.line, quotedName() + " has no \"about\" line");
    ParameterValues current;
    for (std::int32_t index = 0; index < kParameterCount; ++index) current.set(index, sound.values[index]);
    for (int pass = 0; pass < 2; ++pass) {
      for (const Assignment& assignment : assignments) {
        const bool rangeControl = ParameterLayout[assignment.index].followsTarget != 0;
        if (rangeControl != (pass == 1)) continue;
        float value = 0.0f;
        std::string reason;
        if (!valueFromTerm(assignment.index, assignment.term, current, value, reason)) {
          fail(assignment.line, std::string(parameterNames[assignment.index]) + ": " + reason);
          continue;
        }
        current.set(assignment.index, value);
        sound.values[assignment.index] = value;
      }
    }
    bank.sounds.push_back(sound);
  }

  const std::string& fileName;
  SoundBank& bank;
  std::vector<std::string>& errors;
  bool inSound = false;
  Sound sound;
  std::vector<Assignment> assignments;
  std::array<int, kParameterCount> written{};
};

std::string bankNameOf(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of("/\\");
  std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace

std::array<float, kParameterCount> basicValues() {
  std::array<float, kParameterCount> values{};
  for (std::int32_t index = 0; index < kParameterCount; ++index) values[index] = ParameterLayout[index].defaultValue;
  return values;
}

bool readSoundBank(const std::string& text, const std::string& fileName, SoundBank& bank,
                   std::vector<std::string>& errors) {
  const std::size_t errorsBefore = errors.size();
  bank = SoundBank{};
  bank.name = bankNameOf(fileName);
  BankReader reader(fileName, bank, errors);
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) reader.readLine(line, ++number);
  reader.finish(number);
  return errors.size() == errorsBefore;
}

bool loadSoundBank(const std::string& path, SoundBank& bank, std::vector<std::string>& errors) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    errors.push_back(path + ": cannot be read");
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return readSoundBank(text.str(), path, bank, errors);
}

}  // namespace brume::sounds
