// The state record: every program, the current program and the host's values
// come back exactly; a record that is damaged, truncated or older is refused
// whole; what a later version adds is skipped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "instrument/InstrumentState.h"

namespace brume::test {
namespace {

// Programs that differ from each other and from the defaults in every value and name.
void fill(InstrumentState& state) {
  for (std::int32_t p = 0; p < kProgramCount; ++p) {
    for (std::int32_t i = 0; i < kParameterCount; ++i)
      state.programs[p].values.set(i, static_cast<float>(p * kParameterCount + i) / 1000.0f + 0.0001f);
    state.programs[p].rename(("Sound " + std::to_string(p)).c_str());
  }
  // Bytes a line-based record must carry through: its separator, the escape, a space at each end, UTF-8.
  state.programs[3].rename(" 50% bright\nline\t ");
  state.programs[4].rename("D\xC3\xA9j\xC3\xA0 vu");
  state.programs[5].values.set(7, std::numeric_limits<float>::quiet_NaN());
  state.programs[5].values.set(8, -0.0f);
  state.programs[6].values.set(9, 1.0e-40f);  // a denormal
  state.currentProgram = 11;
  for (std::int32_t i = 0; i < kParameterCount; ++i) state.hostValues.set(i, 1.0f - static_cast<float>(i) / 64.0f);
}

std::uint32_t bits(float value) {
  std::uint32_t result;
  std::memcpy(&result, &value, sizeof result);
  return result;
}

void expectSame(const InstrumentState& a, const InstrumentState& b) {
  EXPECT_EQ(a.currentProgram, b.currentProgram);
  for (std::int32_t p = 0; p < kProgramCount; ++p) {
    EXPECT_STREQ(a.programs[p].name, b.programs[p].name) << "program " << p;
    for (std::int32_t i = 0; i < kParameterCount; ++i)
      EXPECT_EQ(bits(a.programs[p].values.get(i)), bits(b.programs[p].values.get(i))) << p << ":" << i;
  }
  for (std::int32_t i = 0; i < kParameterCount; ++i)
    EXPECT_EQ(bits(a.hostValues.get(i)), bits(b.hostValues.get(i))) << "host value " << i;
}

// The record with its checksum line written again for the new body, as a later writer would.
std::string resealed(const std::string& record) {
  std::string body = record.substr(0, record.rfind("checksum "));
  char checksum[32];
  std::snprintf(checksum, sizeof checksum, "checksum %08x\n",
                static_cast<unsigned>(stateChecksum(body.data(), body.size())));
  return body + checksum;
}

std::string encodedSample() {
  InstrumentState state;
  fill(state);
  return encodeInstrumentState(state);
}

TEST(StateRecord, GivesBackEveryProgramTheCurrentOneAndTheHostValuesExactly) {
  InstrumentState saved;
  fill(saved);
  const std::string record = encodeInstrumentState(saved);
  EXPECT_EQ(record.rfind("brume7-state 1\n", 0), 0u) << record.substr(0, 40);
  InstrumentState read;
  ASSERT_EQ(decodeInstrumentState(record.data(), record.size(), read), StateReading::accepted);
  expectSame(saved, read);
}

TEST(StateRecord, SkipsWhatALaterVersionAdds) {
  std::string record = encodedSample();
  // A later version: a higher number, new lines among the known ones and at the end.
  record.replace(0, std::strlen("brume7-state 1"), "brume7-state 7");
  record.insert(record.find("name 0 "), "tuning 440.0 equal\n");
  record.insert(record.rfind("checksum "), "favourites 3 7\nnote with no arguments\n");
  InstrumentState expected;
  fill(expected);
  InstrumentState read;
  ASSERT_EQ(decodeInstrumentState(record.data(), record.size(), read), StateReading::damaged)
      << "the checksum no longer matches";
  record = resealed(record);
  ASSERT_EQ(decodeInstrumentState(record.data(), record.size(), read), StateReading::accepted);
  expectSame(expected, read);
}

struct BadRecord {
  const char* name;
  std::string (*make)(const std::string& good);
  StateReading reading;
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

const BadRecord kBadRecords[] = {
    {"Empty", [](const std::string&) { return std::string(); }, StateReading::damaged},
    {"TruncatedInTheMiddle", [](const std::string& good) { return good.substr(0, good.size() / 2); },
     StateReading::damaged},
    {"TruncatedInItsChecksum", [](const std::string& good) { return good.substr(0, good.size() - 4); },
     StateReading::damaged},
    {"OneDigitChanged", [](const std::string& good) { return replaced(good, "values 9 ", "values 9 f"); },
     StateReading::damaged},
    {"OneByteOfANameChanged", [](const std::string& good) { return replaced(good, "Sound 12", "Sound 13"); },
     StateReading::damaged},
    {"SomethingAfterTheChecksum", [](const std::string& good) { return good + "more\n"; }, StateReading::damaged},
    {"NotOurs", [](const std::string& good) { return replaced(good, "brume7-state", "brume8-state"); },
     StateReading::damaged},
    {"OlderVersion",
     [](const std::string& good) { return resealed(replaced(good, "brume7-state 1", "brume7-state 0")); },
     StateReading::olderVersion},
    {"AProgramMissing",
     [](const std::string& good) {
       const std::size_t start = good.find("values 15 ");
       return resealed(good.substr(0, start) + good.substr(good.find('\n', start) + 1));
     },
     StateReading::damaged},
    {"AProgramTwice",
     [](const std::string& good) {
       const std::size_t start = good.find("name 2 ");
       return resealed(replaced(good, "name 3 ", good.substr(start, good.find('\n', start) + 1 - start) + "name 3 "));
     },
     StateReading::damaged},
    {"ACurrentProgramOutOfRange",
     [](const std::string& good) { return resealed(replaced(good, "current 11", "current 16")); },
     StateReading::damaged},
    {"FiftyThreeValues",
     [](const std::string& good) {
       const std::size_t end = good.find('\n', good.find("host-values "));
       return resealed(good.substr(0, end - 9) + good.substr(end));
     },
     StateReading::damaged},
    {"ANameTooLong",
     [](const std::string& good) { return resealed(replaced(good, "Sound 12", "Sound 12 with far too many letters")); },
     StateReading::damaged},
    {"ABadEscape", [](const std::string& good) { return resealed(replaced(good, "Sound 12", "Sound %1")); },
     StateReading::damaged},
};

class StateRecordRefuses : public ::testing::TestWithParam<BadRecord> {};

TEST_P(StateRecordRefuses, AndLeavesTheStateAsItWas) {
  const std::string record = GetParam().make(encodedSample());
  InstrumentState untouched;  // fresh: every program "Basic" at the defaults
  const InstrumentState fresh;
  EXPECT_EQ(decodeInstrumentState(record.data(), record.size(), untouched), GetParam().reading);
  expectSame(fresh, untouched);
}

INSTANTIATE_TEST_SUITE_P(Records, StateRecordRefuses, ::testing::ValuesIn(kBadRecords),
                         [](const ::testing::TestParamInfo<BadRecord>& info) { return info.param.name; });

}  // namespace
}  // namespace brume::test
