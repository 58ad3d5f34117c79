#include "instrument/InstrumentState.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace brume {
namespace {

constexpr std::string_view kMagic = "brume7-state";
constexpr std::string_view kChecksumKey = "checksum ";
constexpr std::size_t kChecksumDigits = 8;

// Names keep every byte but these, which would end or garble the line.
bool needsEscape(unsigned char byte) { return byte < 0x20 || byte == 0x7f || byte == '%'; }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void appendHex32(std::string& out, std::uint32_t value) {
  char digits[kChecksumDigits + 1];
  std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value));
  out.append(digits, kChecksumDigits);
}

std::uint32_t floatBits(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

void appendValues(std::string& out, const ParameterValues& values) {
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    out += ' ';
    appendHex32(out, floatBits(values.get(i)));
  }
}

// Exactly eight hexadecimal digits.
bool parseHex32(std::string_view text, std::uint32_t& value) {
  if (text.size() != kChecksumDigits) return false;
  value = 0;
  for (char c : text) {
    const int digit = hexDigit(c);
    if (digit < 0) return false;
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return true;
}

// Decimal digits only, at most nine of them.
bool parseCount(std::string_view text, std::int32_t& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// Splits `text` at its first space: true when there is one.
bool splitWord(std::string_view text, std::string_view& word, std::string_view& rest) {
  const std::size_t space = text.find(' ');
  word = text.substr(0, space);
  rest = space == std::string_view::npos ? std::string_view{} : text.substr(space + 1);
  return space != std::string_view::npos;
}

bool parseProgramNumber(std::string_view text, std::int32_t& number) {
  return parseCount(text, number) && number < kProgramCount;
}

// 54 values separated by single spaces, and nothing else.
bool parseValues(std::string_view text, ParameterValues& values) {
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    std::string_view word;
    std::string_view rest;
    const bool more = splitWord(text, word, rest);
    std::uint32_t bits;
    if (more != (i < kParameterCount - 1) || !parseHex32(word, bits)) return false;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    values.set(i, value);
    text = rest;
  }
  return true;
}

bool parseName(std::string_view text, InstrumentProgram& program) {
  char name[kProgramNameSize];
  std::size_t length = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte == '%') {
      if (i + 2 >= text.size()) return false;
      const int high = hexDigit(text[i + 1]);
      const int low = hexDigit(text[i + 2]);
      if (high < 0 || low < 0) return false;
      byte = static_cast<unsigned char>(high * 16 + low);
      i += 2;
    } else if (needsEscape(byte)) {
      return false;
    }
    if (byte == 0 || length == kProgramNameSize - 1) return false;
    name[length++] = static_cast<char>(byte);
  }
  name[length] = '\0';
  program.rename(name);
  return true;
}

// What a record holds, and which of its lines have been seen.
struct Reading {
  InstrumentState state;
  bool sawCurrent = false;
  bool sawHostValues = false;
  bool sawName[kProgramCount] = {};
  bool sawValues[kProgramCount] = {};

  bool complete() const {
    for (std::int32_t p = 0; p < kProgramCount; ++p)
      if (!sawName[p] || !sawValues[p]) return false;
    return sawCurrent && sawHostValues;
  }
};

// One line after the version line. Unknown keys are a later version's: skipped.
bool readLine(std::string_view line, Reading& reading) {
  std::string_view key;
  std::string_view arguments;
  const bool hasArguments = splitWord(line, key, arguments);
  std::int32_t number = 0;
  if (key == "current") {
    if (reading.sawCurrent || !parseProgramNumber(arguments, number)) return false;
    reading.state.currentProgram = number;
    reading.sawCurrent = true;
  } else if (key == "name" || key == "values") {
    std::string_view word;
    std::string_view rest;
    if (!hasArguments || !splitWord(arguments, word, rest) || !parseProgramNumber(word, number)) return false;
    bool& seen = key == "name" ? reading.sawName[number] : reading.sawValues[number];
    if (seen) return false;
    seen = true;
    InstrumentProgram& program = reading.state.programs[number];
    return key == "name" ? parseName(rest, program) : parseValues(rest, program.values);
  } else if (key == "host-values") {
    if (reading.sawHostValues || !parseValues(arguments, reading.state.hostValues)) return false;
    reading.sawHostValues = true;
  } else if (key.empty()) {
    return false;
  }
  return true;
}

}  // namespace

std::uint32_t stateChecksum(const char* text, std::size_t length) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < length; ++i) {
    hash ^= static_cast<unsigned char>(text[i]);
    hash *= 16777619u;
  }
  return hash;
}

std::string encodeInstrumentState(const InstrumentState& state) {
  std::string out;
  out.reserve(9000);
  out.append(kMagic);
  out += ' ';
  out += std::to_string(kStateVersion);
  out += "\ncurrent ";
  out += std::to_string(state.currentProgram);
  out += '\n';
  for (std::int32_t p = 0; p < kProgramCount; ++p) {
    const InstrumentProgram& program = state.programs[p];
    out += "name " + std::to_string(p) + ' ';
    for (const char* c = program.name; *c != '\0'; ++c) {
      const auto byte = static_cast<unsigned char>(*c);
      if (needsEscape(byte)) {
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned>(byte));
        out += escaped;
      } else {
        out += *c;
      }
    }
    out += "\nvalues " + std::to_string(p);
    appendValues(out, program.values);
    out += '\n';
  }
  out += "host-values";
  appendValues(out, state.hostValues);
  out += '\n';
  const std::uint32_t checksum = stateChecksum(out.data(), out.size());
  out.append(kChecksumKey);
  appendHex32(out, checksum);
  out += '\n';
  return out;
}

StateReading decodeInstrumentState(const char* text, std::size_t length, InstrumentState& state) {
  if (!text) return StateReading::damaged;
  std::string_view record(text, length);

  // The version line comes first: a record older than this version's first is refused as such.
  const std::size_t firstEnd = record.find('\n');
  if (firstEnd == std::string_view::npos) return StateReading::damaged;
  std::string_view magic;
  std::string_view versionText;
  if (!splitWord(record.substr(0, firstEnd), magic, versionText) || magic != kMagic) return StateReading::damaged;
  std::int32_t version = 0;
  if (!parseCount(versionText, version)) return StateReading::damaged;
  if (version < 1) return StateReading::olderVersion;

  // Then the checksum line, which ends the record: a truncated or altered record fails here.
  if (!record.empty() && record.back() == '\n') record.remove_suffix(1);
  const std::size_t lastStart = record.rfind('\n') + 1;
  if (lastStart <= firstEnd + 1) return StateReading::damaged;
  const std::string_view checksumLine = record.substr(lastStart);
  std::uint32_t checksum = 0;
  if (checksumLine.substr(0, kChecksumKey.size()) != kChecksumKey ||
      !parseHex32(checksumLine.substr(kChecksumKey.size()), checksum) || checksum != stateChecksum(text, lastStart))
    return StateReading::damaged;

  // The reading is made apart and copied out only when whole.
  auto reading = std::make_unique<Reading>();
  std::string_view body = record.substr(firstEnd + 1, lastStart - firstEnd - 2);
  while (true) {
    const std::size_t end = body.find('\n');
    if (!readLine(body.substr(0, end), *reading)) return StateReading::damaged;
    if (end == std::string_view::npos) break;
    body.remove_prefix(end + 1);
  }
  if (!reading->complete()) return StateReading::damaged;

  for (std::int32_t p = 0; p < kProgramCount; ++p) {
    state.programs[p].values.copyFrom(reading->state.programs[p].values);
    std::memcpy(state.programs[p].name, reading->state.programs[p].name, kProgramNameSize);
  }
  state.currentProgram = reading->state.currentProgram;
  state.hostValues.copyFrom(reading->state.hostValues);
  return StateReading::accepted;
}

}  // namespace brume
