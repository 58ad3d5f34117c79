#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "instrument/ParameterCatalogue.h"
#include "tests/instrument/InstrumentFixture.h"

namespace brume {
namespace {

class Programs : public ::testing::Test, protected test::InstrumentFixture {
 protected:
  std::string nameOf(VstInt32 program) {
    char text[64] = {};
    call(29, program, 0, text);
    return text;
  }
  std::string currentName() {
    char text[64] = {};
    call(5, 0, 0, text);
    return text;
  }
};

TEST_F(Programs, AllStartAsBasicWithTheCatalogueDefaults) {
  for (VstInt32 p = 0; p < kProgramCount; ++p) {
    EXPECT_EQ(nameOf(p), "Basic");
    for (std::int32_t i = 0; i < kParameterCount; ++i)
      ASSERT_EQ(instrument->program(p)->values.get(i), ParameterLayout[i].defaultValue) << p << "/" << i;
  }
  EXPECT_EQ(instrument->program(7)->values.get(0), 0.9f);
  EXPECT_EQ(instrument->program(7)->values.get(50), 0.8f);
  EXPECT_EQ(call(3), 0);
  EXPECT_EQ(currentName(), "Basic");
  for (std::int32_t i = 0; i < kParameterCount; ++i)
    EXPECT_EQ(instrument->getParameter(i), ParameterLayout[i].defaultValue) << i;
}

TEST_F(Programs, SelectingLoadsTheProgramsValues) {
  call(2, 0, 4);
  instrument->setParameter(kCutoff, 0.125f);
  call(2, 0, 3);
  EXPECT_EQ(call(3), 3);
  for (std::int32_t i = 0; i < kParameterCount; ++i)
    EXPECT_EQ(instrument->getParameter(i), instrument->program(3)->values.get(i)) << i;
  EXPECT_EQ(instrument->getParameter(kCutoff), 0.5f);
  call(2, 0, 4);
  EXPECT_EQ(instrument->getParameter(kCutoff), 0.125f);
}

TEST_F(Programs, AStoredProgramSoundsOnlyOnceSelected) {
  InstrumentProgram stored;
  stored.values.set(kCutoff, 0.125f);
  stored.rename("A name longer than twenty-three");
  EXPECT_FALSE(instrument->storeProgram(16, stored));
  EXPECT_FALSE(instrument->storeProgram(-1, stored));
  ASSERT_TRUE(instrument->storeProgram(0, stored));
  EXPECT_EQ(nameOf(0), "A name longer than twen");
  EXPECT_EQ(instrument->program(0)->values.get(kCutoff), 0.125f);
  EXPECT_EQ(instrument->getParameter(kCutoff), 0.5f);
  call(2, 0, 0);
  EXPECT_EQ(instrument->getParameter(kCutoff), 0.125f);
}

TEST_F(Programs, EditsAreRecordedIntoTheCurrentProgram) {
  call(2, 0, 3);
  instrument->setParameter(kCutoff, 0.25f);
  call(2, 0, 4);
  call(2, 0, 3);
  EXPECT_EQ(instrument->getParameter(kCutoff), 0.25f);
  EXPECT_EQ(instrument->program(4)->values.get(kCutoff), 0.5f);
}

TEST_F(Programs, RenameAndList) {
  call(2, 0, 3);
  char name[] = "Fog Bank";
  call(4, 0, 0, name);
  EXPECT_EQ(call(29, 3, 0, nullptr), 0) << "no buffer";
  char text[32] = {};
  EXPECT_EQ(call(29, 3, 99, text), 1) << "the category is ignored";
  EXPECT_STREQ(text, "Fog Bank");
  EXPECT_EQ(nameOf(2), "Basic");
  EXPECT_EQ(currentName(), "Fog Bank");
}

TEST_F(Programs, LongNamesAreCutToTheField) {
  char name[] = "A very long program name that does not fit";
  call(4, 0, 0, name);
  EXPECT_EQ(currentName(), std::string(name, 23));
  EXPECT_EQ(currentName().size(), 23u);
}

TEST_F(Programs, CopyToAnotherSlot) {
  call(2, 0, 3);
  instrument->setParameter(kVolume, 0.3f);
  char name[] = "Lead";
  call(4, 0, 0, name);
  EXPECT_EQ(call(30, 9), 1);
  EXPECT_EQ(call(3), 3) << "the current program stays current";
  EXPECT_EQ(nameOf(9), "Lead");
  EXPECT_EQ(instrument->program(9)->values.get(kVolume), 0.3f);
  EXPECT_EQ(call(30, 3), 1) << "copying onto itself changes nothing";
  EXPECT_EQ(nameOf(3), "Lead");
}

TEST_F(Programs, NumbersOutsideTheBankAreRefused) {
  char text[16] = "untouched";
  EXPECT_EQ(call(29, 16, 0, text), 0);
  EXPECT_EQ(call(29, -1, 0, text), 0);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(call(30, 16), 0);
  EXPECT_EQ(call(30, -2), 0);
  EXPECT_EQ(call(2, 0, 16), 0);
  EXPECT_EQ(call(2, 0, -1), 0);
  EXPECT_EQ(call(3), 0);
  instrument->selectProgram(99);
  instrument->selectProgram(-5);
  EXPECT_EQ(call(3), 0);
}

TEST_F(Programs, NoDataChunks) {
  void* data = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(call(23, 0, 0, &data), 0);
  EXPECT_EQ(data, reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(call(24, 0, 4, &data), 0);
  EXPECT_EQ(instrument->record()->flags & kFlagProgramChunks, 0);
}

}  // namespace
}  // namespace brume
