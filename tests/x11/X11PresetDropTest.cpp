// Preset files dragged onto Brume7's own editor in an X window: the test XDND
// source drops a program file and a bank as a file list, then a file of
// another plug-in, and checks what the instrument holds, what the host heard
// and what the source was told. The loading rules are tested headless; this
// is the X11 road to them.

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "X11TestSupport.h"
#include "XdndSource.h"
#include "editor/InstrumentEditor.h"
#include "gui/native/x11/X11Platform.h"
#include "instrument/Instrument.h"
#include "tests/support/PresetFiles.h"
#include "tests/support/RecordingHost.h"

namespace brume::testing {
namespace {

class X11PresetDrop : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::string pattern = ::testing::TempDir() + "brume7-x11-preset-drop-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    brume7 = std::make_unique<Instrument>(test::RecordingHost::callback());
    ASSERT_EQ(call(14, reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent))), 1);
    ASSERT_TRUE(idleUntilEditor([this] { return !frame()->isFirstPaintPending(); }));
    source = std::make_unique<XdndSource>(display, [this] { call(19); });
  }
  void TearDown() override {
    source.reset();
    if (brume7) call(15);
    brume7.reset();
    X11Fixture::TearDown();
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  }

  VstIntPtr call(VstInt32 opcode, void* ptr = nullptr, VstIntPtr value = 0) {
    AEffect* record = brume7->record();
    return record->dispatcher(record, opcode, 0, value, ptr, 0.0f);
  }
  Frame* frame() const { return static_cast<InstrumentEditor*>(brume7->editorObjectPointer())->getFrame(); }
  template <typename Done>
  bool idleUntilEditor(Done done) {
    for (int i = 0; i < 1000 && !done(); ++i) {
      call(19);
      usleep(5000);
    }
    return done();
  }
  std::string write(const std::string& name, const PresetFile& file) const {
    const std::string path = folder + "/" + name;
    EXPECT_TRUE(test::writeBytes(path, writePresetFile(file)));
    return path;
  }
  // Drags the file over the editor at (120, 40) and drops it there.
  bool dropFile(const std::string& path, XdndFinished& finished) {
    const ::Window target = source->findTarget(120, 40);
    EXPECT_EQ(target, x11::windowId(frame()->nativeWindow()));
    source->enter(target, {"text/uri-list"}, "file://" + path + "\r\n");
    XdndStatus status;
    return source->position(120, 40, status) && status.accepts && source->drop(finished);
  }
  std::vector<float> liveValues() const {
    std::vector<float> values;
    for (std::int32_t i = 0; i < kParameterCount; ++i) values.push_back(brume7->getParameter(i));
    return values;
  }

  test::RecordingHost host;
  std::unique_ptr<Instrument> brume7;
  std::unique_ptr<XdndSource> source;
  std::string folder;
};

TEST_F(X11PresetDrop, AProgramFileAndABankLoad) {
  const PresetFile program = test::presetProgramFile(3);
  host.clear();
  XdndFinished finished;
  ASSERT_TRUE(dropFile(write("lead.fxp", program), finished)) << "the source was left waiting";
  EXPECT_TRUE(finished.accepted);
  EXPECT_EQ(liveValues(), program.programs[0].values);
  EXPECT_STREQ(brume7->program(0)->name, "Dropped 3");
  // Every value differs from the defaults: each one was reported, in index order.
  const std::vector<test::HostCall> automated = host.callsWith(kHostAutomate);
  ASSERT_EQ(automated.size(), static_cast<std::size_t>(kParameterCount));
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    EXPECT_EQ(automated[i].index, i);
    EXPECT_EQ(automated[i].opt, program.programs[0].values[i]);
  }

  ASSERT_EQ(call(2, nullptr, 6), 0);  // program 6 is current
  const PresetFile bank = test::presetBankFile(30);
  ASSERT_TRUE(dropFile(write("bank.fxb", bank), finished));
  EXPECT_TRUE(finished.accepted);
  EXPECT_EQ(brume7->programIndex(), 6);
  EXPECT_EQ(liveValues(), bank.programs[6].values);
  for (std::int32_t p = 0; p < kProgramCount; ++p) {
    EXPECT_STREQ(brume7->program(p)->name, bank.programs[p].name.c_str());
    EXPECT_EQ(brume7->program(p)->values.get(kCutoff), bank.programs[p].values[kCutoff]) << "program " << p;
  }
}

TEST_F(X11PresetDrop, AnotherPluginsFileIsRefusedAndTheSourceToldSo) {
  PresetFile other = test::presetProgramFile(3);
  other.pluginId = fourCharacterCode('D', 'r', 'm', 'S');
  const std::vector<float> before = liveValues();
  host.clear();
  XdndFinished finished;
  ASSERT_TRUE(dropFile(write("other.fxp", other), finished));
  EXPECT_FALSE(finished.accepted);
  EXPECT_EQ(liveValues(), before);
  EXPECT_STREQ(brume7->program(0)->name, "Basic");
  EXPECT_EQ(host.count(kHostAutomate), 0);
}

}  // namespace
}  // namespace brume::testing
