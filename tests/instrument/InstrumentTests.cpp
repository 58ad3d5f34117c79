#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "instrument/ParameterCatalogue.h"
#include "tests/instrument/InstrumentFixture.h"

namespace brume {
namespace {

class Identity : public ::testing::Test, protected test::InstrumentFixture {
 protected:
  std::string text(VstInt32 opcode, VstIntPtr* answer = nullptr) {
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    buffer[63] = '\0';
    const VstIntPtr result = call(opcode, 0, 0, buffer);
    if (answer) *answer = result;
    return buffer;
  }
  VstIntPtr canDo(const char* word) {
    std::string copy = word;
    return call(51, 0, 0, copy.data());
  }
};

TEST_F(Identity, RecordFields) {
  const AEffect* r = instrument->record();
  EXPECT_EQ(r->magic, 0x56737450);
  EXPECT_EQ(r->numPrograms, 16);
  EXPECT_EQ(r->numParams, 54);
  EXPECT_EQ(r->numInputs, 1);
  EXPECT_EQ(r->numOutputs, 2);
  EXPECT_EQ(r->flags & ~kFlagHasEditor, 0x110);
  EXPECT_EQ(r->uniqueID, 0x42524D37);
  EXPECT_EQ(r->version, 1);
  EXPECT_EQ(r->initialDelay, 0);
  EXPECT_EQ(r->ioRatio, 1.0f);
  EXPECT_EQ(r->user, nullptr);
}

TEST_F(Identity, NamesVersionAndCategory) {
  VstIntPtr answer = 0;
  EXPECT_EQ(text(45, &answer), "Brume7");
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(text(47, &answer), "Pellarine");
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(text(48, &answer), "Brume 7");
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(call(49), 1);
  EXPECT_EQ(call(35), 2);
  EXPECT_EQ(call(33, 0, 0, &answer), 0);
  EXPECT_EQ(call(34, 0, 0, &answer), 0);
  EXPECT_EQ(call(58), 2200);
  EXPECT_EQ(call(9), 0);
  EXPECT_EQ(call(57), 1);
}

TEST_F(Identity, CapabilityWordsMatchExactly) {
  EXPECT_EQ(canDo("receiveVstEvents"), 1);
  EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(canDo("receiveVstTimeInfo"), -1);
  EXPECT_EQ(canDo("ReceiveVstEvents"), -1);
  EXPECT_EQ(canDo("receiveVstEventsX"), -1);
  EXPECT_EQ(canDo("receiveVst"), -1);
  EXPECT_EQ(call(51, 0, 0, nullptr), -1);
}

TEST_F(Identity, ParameterTextsThroughTheDispatcher) {
  char buffer[32] = "junk";
  call(8, 52, 0, buffer);
  EXPECT_STREQ(buffer, "G Wet");
  call(8, 54, 0, buffer);
  EXPECT_STREQ(buffer, "Nothin'");
  call(7, 1, 0, buffer);
  EXPECT_STREQ(buffer, "Center");
  std::strcpy(buffer, "junk");
  call(7, 54, 0, buffer);
  EXPECT_STREQ(buffer, "junk") << "no text for an index outside the table";
  call(6, 3, 0, buffer);
  EXPECT_STREQ(buffer, "");
  std::strcpy(buffer, "junk");
  call(6, -9, 0, buffer);
  EXPECT_STREQ(buffer, "");
  std::strcpy(buffer, "junk");
  call(7, 8, 0, buffer);
  EXPECT_STREQ(buffer, "On") << "Osc2 defaults to 1.0";
}

TEST_F(Identity, ParameterIndexesOutsideTheTableAreIgnored) {
  AEffect* r = instrument->record();
  r->setParameter(r, 54, 0.3f);
  r->setParameter(r, -1, 0.3f);
  r->setParameter(r, 1 << 30, 0.3f);
  EXPECT_EQ(r->getParameter(r, 54), 0.0f);
  EXPECT_EQ(r->getParameter(r, -1), 0.0f);
  r->setParameter(r, 5, 0.3f);
  EXPECT_EQ(r->getParameter(r, 5), 0.3f);
  EXPECT_EQ(instrument->program(0)->values.get(5), 0.3f);
}

TEST_F(Identity, ResumeAsksForEventsEveryTime) {
  host.clear();
  call(12, 0, 1);
  call(12, 0, 0);
  call(12, 0, 1);
  const auto wants = host.callsWith(kHostWantMidi);
  ASSERT_EQ(wants.size(), 2u);
  for (const auto& c : wants) {
    EXPECT_EQ(c.value, 1);
    EXPECT_EQ(c.effect, instrument->record());
  }
}

TEST_F(Identity, BlockSizeAndRateTogetherStoreBoth) {
  EXPECT_EQ(call(43, 0, 128, nullptr, 96000.0f), 1);
  EXPECT_EQ(instrument->sampleRateValue(), 96000.0f);
  EXPECT_EQ(instrument->blockSizeValue(), 128);
  call(11, 0, 333);
  EXPECT_EQ(instrument->blockSizeValue(), 333);
}

struct RecordingSink : TraceSink {
  void write(const char* line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

TEST_F(Identity, EveryOpcodeButIdleAndEventsIsTraced) {
  RecordingSink sink;
  instrument->setTraceSink(&sink);
  call(19);
  VstEvents events{};
  call(25, 0, 0, &events);
  EXPECT_TRUE(sink.lines.empty());
  call(3, 7, 9, nullptr, 0.5f);
  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_EQ(sink.lines[0], "Event disp : opCode 3, index 7, value 9, ptr 0, opt 0.500000\n");
  call(12, 0, 1);
  EXPECT_EQ(sink.lines.back(), "Resume\n");
  char word[] = "bogus";
  call(51, 0, 0, word);
  EXPECT_EQ(sink.lines.back(), "can do : bogus\n");
  call(2, 0, 1);
  EXPECT_EQ(sink.lines[sink.lines.size() - 1], "SetProgram\n");
  instrument->setTraceSink(nullptr);
}

}  // namespace
}  // namespace brume
