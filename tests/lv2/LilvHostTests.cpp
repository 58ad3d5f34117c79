// Brume7.lv2 as a host meets it through lilv: its whole state saved, written
// as text and restored into a fresh instance (every program, the current one,
// the same samples), in either order of the host's own port restore; damaged
// and older records refused with nothing applied; the programs extension.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/lv2/PortLayout.h"
#include "instrument/InstrumentState.h"
#include "tests/lv2/Lv2TestHost.h"
#include "BuildPaths.h"

namespace brume::test {
namespace {

constexpr std::uint32_t kBlock = 300;
constexpr int kBlocks = 40;

struct LilvStateDeleter {
  void operator()(LilvState* state) const { lilv_state_free(state); }
};
using StatePointer = std::unique_ptr<LilvState, LilvStateDeleter>;

// Sixteen programs that differ in name and sound; program 2 current.
std::string shapedRecord() {
  InstrumentState state;
  for (std::int32_t p = 0; p < kProgramCount; ++p) {
    state.programs[p].rename(("Shape " + std::to_string(p)).c_str());
    state.programs[p].values.set(kO1Shape, static_cast<float>(p % 11) / 14.0f + 0.01f);
    state.programs[p].values.set(kCutoff, 0.3f + static_cast<float>(p) / 40.0f);
    state.programs[p].values.set(kRelease, 0.1f);
  }
  state.currentProgram = 2;
  for (std::int32_t i = 0; i < kParameterCount; ++i) state.hostValues.set(i, state.programs[2].values.get(i));
  return encodeInstrumentState(state);
}

// Hands one record to an instance's restore, as a host's state would.
struct RecordSource {
  std::string text;
  LV2_URID key;
  LV2_URID type;
  static const void* retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size, std::uint32_t* type,
                              std::uint32_t* flags) {
    auto* self = static_cast<RecordSource*>(handle);
    if (key != self->key) return nullptr;
    *size = self->text.size() + 1;
    *type = self->type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return self->text.c_str();
  }
};

class LilvHostTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(bundle.plugin(), nullptr) << "no Brume7 in " << BRUME7_LV2_BUNDLE; }

  std::unique_ptr<Lv2TestInstance> makeInstance(bool programsHost = false) {
    InstanceSettings settings;
    settings.offerProgramsHost = programsHost;
    auto instance = std::make_unique<Lv2TestInstance>(bundle, urids, settings);
    EXPECT_TRUE(instance->valid());
    return instance;
  }

  LV2_State_Status restoreRecord(Lv2TestInstance& instance, const std::string& text,
                                 const char* type = LV2_ATOM__String) {
    RecordSource source{text, urids.map(lv2::kStateUri), urids.map(type)};
    return instance.stateInterface()->restore(lilvHandle(instance), RecordSource::retrieve, &source, 0, nullptr);
  }

  static LV2_Handle lilvHandle(Lv2TestInstance& instance) { return lilv_instance_get_handle(instance.lilvInstance()); }

  // The instance's whole state as it saves it, read back through the record.
  std::unique_ptr<InstrumentState> savedState(Lv2TestInstance& instance) {
    struct Sink {
      std::string text;
      static LV2_State_Status store(LV2_State_Handle handle, std::uint32_t, const void* value, std::size_t size,
                                    std::uint32_t, std::uint32_t) {
        static_cast<Sink*>(handle)->text.assign(static_cast<const char*>(value), size);
        return LV2_STATE_SUCCESS;
      }
    } sink;
    EXPECT_EQ(instance.stateInterface()->save(lilvHandle(instance), Sink::store, &sink, 0, nullptr), LV2_STATE_SUCCESS);
    auto state = std::make_unique<InstrumentState>();
    EXPECT_EQ(decodeInstrumentState(sink.text.c_str(), std::strlen(sink.text.c_str()), *state), StateReading::accepted);
    return state;
  }

  static void expectSameState(const InstrumentState& a, const InstrumentState& b) {
    EXPECT_EQ(a.currentProgram, b.currentProgram);
    for (std::int32_t p = 0; p < kProgramCount; ++p) {
      EXPECT_STREQ(a.programs[p].name, b.programs[p].name);
      for (std::int32_t i = 0; i < kParameterCount; ++i)
        EXPECT_EQ(a.programs[p].values.get(i), b.programs[p].values.get(i)) << "program " << p << ", " << i;
    }
    for (std::int32_t i = 0; i < kParameterCount; ++i) EXPECT_EQ(a.hostValues.get(i), b.hostValues.get(i)) << i;
  }

  // The same phrase through an instance: both channels, interleaved.
  static std::vector<float> render(Lv2TestInstance& instance) {
    std::vector<float> out;
    for (int block = 0; block < kBlocks; ++block) {
      if (block == 0) instance.addMidi(17, 0x90, 57, 100);
      if (block == 3) instance.addMidi(250, 0x90, 64, 80);
      if (block == 20) instance.addMidi(5, 0x80, 57, 0);
      instance.run(kBlock);
      for (std::uint32_t i = 0; i < kBlock; ++i) {
        out.push_back(instance.left()[i]);
        out.push_back(instance.right()[i]);
      }
    }
    return out;
  }

  // An instance shaped by a restored bank, a program selection and port changes; nothing rendered yet.
  std::unique_ptr<Lv2TestInstance> shapedInstance() {
    auto instance = makeInstance();
    EXPECT_EQ(restoreRecord(*instance, shapedRecord()), LV2_STATE_SUCCESS);
    instance->programs()->select_program(lilvHandle(*instance), 0, 5);
    instance->run(0);
    instance->control(kRes) = 0.6f;
    instance->control(kLfo1) = 1.0f;
    instance->control(kL1Aim) = 1.5f / 46.0f;  // "Pan"
    instance->control(kL1Per) = 0.1f;
    // Event modulator 1 writes "Cutoff" when key 40 goes up: the program then
    // holds a value its port does not, which a restore must not undo.
    instance->control(kE1Aim) = 49.5f / 55.0f;
    instance->control(kE1Note) = 40.5f / 128.0f;
    instance->control(kE1Rel) = 0.95f;
    instance->run(0);
    instance->addMidi(0, 0x80, 40, 0);
    instance->run(0);
    return instance;
  }

  UridMap urids;
  Lv2Bundle bundle{BRUME7_LV2_BUNDLE};
};

TEST_F(LilvHostTest, AProjectSavedAndReopenedHasEveryProgramAndSoundsTheSame) {
  auto original = shapedInstance();
  StatePointer saved(original->saveState());
  ASSERT_TRUE(saved);
  // Saved as the text of a project file and read back.
  char* text = lilv_state_to_string(bundle.world(), urids.mapFeature(), urids.unmapFeature(), saved.get(),
                                    "urn:brume7-test:project", nullptr);
  ASSERT_NE(text, nullptr);
  StatePointer reread(lilv_state_new_from_string(bundle.world(), urids.mapFeature(), text));
  lilv_free(text);
  ASSERT_TRUE(reread);

  auto reopened = makeInstance();
  reopened->restoreState(reread.get(), true);
  expectSameState(*savedState(*original), *savedState(*reopened));
  EXPECT_EQ(savedState(*reopened)->currentProgram, 5);
  EXPECT_STREQ(reopened->programs()->get_program(lilvHandle(*reopened), 15)->name, "Shape 15");
  const std::vector<float> expected = render(*original);
  const std::vector<float> played = render(*reopened);
  EXPECT_EQ(played, expected);
  float loudest = 0.0f;
  for (float sample : expected) loudest = std::max(loudest, std::fabs(sample));
  EXPECT_GT(loudest, 0.01f);
}

enum class PortOrder { afterRestore, beforeRestore, beforeRestoreWithABlockBetween };

class RestoreOrder : public LilvHostTest, public ::testing::WithParamInterface<PortOrder> {};

TEST_P(RestoreOrder, GivesTheSameInstrument) {
  auto original = shapedInstance();
  StatePointer saved(original->saveState());
  ASSERT_TRUE(saved);
  auto reopened = makeInstance();
  if (GetParam() == PortOrder::afterRestore) {
    reopened->restoreState(saved.get(), true);
  } else {
    reopened->restorePortsOnly(saved.get());
    if (GetParam() == PortOrder::beforeRestoreWithABlockBetween) reopened->run(0);
    reopened->restoreState(saved.get(), false);
  }
  expectSameState(*savedState(*original), *savedState(*reopened));
  EXPECT_EQ(render(*reopened), render(*original));
}

std::string portOrderName(const ::testing::TestParamInfo<PortOrder>& info) {
  switch (info.param) {
    case PortOrder::afterRestore:
      return "AfterRestore";
    case PortOrder::beforeRestore:
      return "BeforeRestore";
    default:
      return "BeforeRestoreWithABlockBetween";
  }
}

INSTANTIATE_TEST_SUITE_P(PortsRestored, RestoreOrder,
                         ::testing::Values(PortOrder::afterRestore, PortOrder::beforeRestore,
                                           PortOrder::beforeRestoreWithABlockBetween),
                         portOrderName);

TEST_F(LilvHostTest, ARefusedRecordAppliesNothingAndLaterFieldsAreSkipped) {
  auto instance = shapedInstance();
  const auto before = savedState(*instance);
  std::string good = shapedRecord();
  const std::string older = [&] {
    InstrumentState state;
    std::string record = encodeInstrumentState(state);
    record.replace(0, 14, "brume7-state 0");
    return record;
  }();
  std::string damaged = good;
  damaged[damaged.find("Shape 7") + 6] = '8';
  for (const std::string& bad : {damaged, older, good.substr(0, good.size() - 30), std::string("brume7")}) {
    EXPECT_NE(restoreRecord(*instance, bad), LV2_STATE_SUCCESS);
    expectSameState(*before, *savedState(*instance));
  }
  EXPECT_EQ(restoreRecord(*instance, good, LV2_ATOM__Chunk), LV2_STATE_ERR_BAD_TYPE);
  expectSameState(*before, *savedState(*instance));
  // A state without our record (a preset's) changes nothing and succeeds.
  RecordSource nothing{"", 0, 0};
  EXPECT_EQ(instance->stateInterface()->restore(lilvHandle(*instance), RecordSource::retrieve, &nothing, 0, nullptr),
            LV2_STATE_SUCCESS);
  expectSameState(*before, *savedState(*instance));

  // A later version's record with a field of its own: what this version knows is taken.
  std::string later = good;
  later.insert(later.find("current "), "scale just-intonation\n");
  const std::string body = later.substr(0, later.rfind("checksum "));
  char checksum[32];
  std::snprintf(checksum, sizeof checksum, "checksum %08x\n",
                static_cast<unsigned>(stateChecksum(body.data(), body.size())));
  EXPECT_EQ(restoreRecord(*instance, body + checksum), LV2_STATE_SUCCESS);
  EXPECT_EQ(savedState(*instance)->currentProgram, 2);
  EXPECT_STREQ(instance->programs()->get_program(lilvHandle(*instance), 7)->name, "Shape 7");
}

TEST_F(LilvHostTest, HostsListTheSixteenProgramsAndHearOfRestoredNames) {
  auto instance = makeInstance(true);
  const lv2::ProgramsInterface* programs = instance->programs();
  ASSERT_NE(programs, nullptr);
  std::uint32_t count = 0;
  while (const lv2::ProgramDescriptor* program = programs->get_program(lilvHandle(*instance), count)) {
    EXPECT_EQ(program->bank, count / 128);
    EXPECT_EQ(program->program, count % 128);
    EXPECT_STREQ(program->name, "Basic");
    ++count;
  }
  EXPECT_EQ(count, 16u);
  EXPECT_EQ(restoreRecord(*instance, shapedRecord()), LV2_STATE_SUCCESS);
  EXPECT_EQ(instance->programChanges().indexes, std::vector<std::int32_t>{-1});
  EXPECT_STREQ(programs->get_program(lilvHandle(*instance), 9)->name, "Shape 9");
  // Selecting writes the program's values into the host's control ports at once.
  programs->select_program(lilvHandle(*instance), 0, 9);
  EXPECT_EQ(instance->control(kCutoff), 0.3f + 9.0f / 40.0f);
  instance->run(kBlock);
  EXPECT_EQ(savedState(*instance)->currentProgram, 9);
}

}  // namespace
}  // namespace brume::test
