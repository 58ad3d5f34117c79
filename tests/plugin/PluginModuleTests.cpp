// Loads the built plug-in module as a host would and talks to it only
// through the exported entry and the effect record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "tests/plugin/PluginModule.h"
#include "BuildPaths.h"

namespace brume::test {
namespace {

class Module : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module.loaded()) << module.error;
    moduleHostLog() = ModuleHostLog();
    effect = module.open();
    ASSERT_NE(effect, nullptr);
  }
  void TearDown() override {
    if (effect) {
      EXPECT_EQ(call(effect, 1), 1);
    }
  }
  std::string text(VstInt32 opcode, VstInt32 index = 0) {
    char buffer[256];
    std::memset(buffer, 0, sizeof buffer);
    call(effect, opcode, index, 0, buffer);
    return buffer;
  }

  PluginModule module{BRUME7_PLUGIN_PATH};
  AEffect* effect = nullptr;
};

TEST_F(Module, ExportsTheEntry) {
  EXPECT_NE(module.symbol("main"), nullptr);
#if !defined(_WIN32)
  EXPECT_NE(module.symbol("VSTPluginMain"), nullptr);
  EXPECT_EQ(module.symbol("_ZN5brume10InstrumentC1EPFlPNS_7AEffectEiilPvfE"), nullptr)
      << "nothing of ours but the entry is visible";
#endif
}

#if defined(_WIN32)
// What Explorer's properties and a host's plug-in list read from the DLL.
std::string versionText(const std::vector<char>& info, const char* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(info.data(), key.c_str(), &value, &length) || length == 0) return "(none)";
  return static_cast<const char*>(value);
}

TEST(ModuleVersion, CarriesTheProductCompanyAndVersion) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(BRUME7_PLUGIN_PATH, &ignored);
  ASSERT_GT(size, 0u) << "no version resource";
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(BRUME7_PLUGIN_PATH, 0, size, info.data()));
  EXPECT_EQ(versionText(info, "ProductName"), "Brume 7");
  EXPECT_EQ(versionText(info, "CompanyName"), "Pellarine");
  EXPECT_EQ(versionText(info, "ProductVersion"), BRUME7_RELEASE_VERSION);
  EXPECT_EQ(versionText(info, "FileVersion"), BRUME7_RELEASE_VERSION);
  EXPECT_EQ(versionText(info, "FileDescription").rfind("Brume 7 VST 2 instrument (", 0), 0u);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(numbers, BRUME7_RELEASE_VERSION);
}
#endif

TEST_F(Module, RecordDescribesTheInstrument) {
  EXPECT_EQ(effect->magic, 0x56737450);
  EXPECT_EQ(effect->numPrograms, 16);
  EXPECT_EQ(effect->numParams, 54);
  EXPECT_EQ(effect->numInputs, 1);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->flags & 0x110, 0x110);
  EXPECT_EQ(effect->uniqueID, 0x42524D37);
  EXPECT_EQ(effect->version, 1);
  EXPECT_EQ(effect->ioRatio, 1.0f);
  EXPECT_EQ(effect->user, nullptr);
  EXPECT_NE(effect->object, nullptr);
  EXPECT_EQ(moduleHostLog().count(kHostVersion), 1) << "the entry asks the host's version once";
}

TEST_F(Module, IdentityThroughTheDispatcher) {
  EXPECT_EQ(text(45), "Brume7");
  EXPECT_EQ(text(47), "Pellarine");
  EXPECT_EQ(text(48), "Brume 7");
  EXPECT_EQ(call(effect, 49), 1);
  EXPECT_EQ(call(effect, 35), 2);
  EXPECT_EQ(call(effect, 58), 2200);
  EXPECT_EQ(call(effect, 22), 0x4E764566);
  char word[] = "receiveVstMidiEvent";
  EXPECT_EQ(call(effect, 51, 0, 0, word), 1);
  char other[] = "sendVstEvents";
  EXPECT_EQ(call(effect, 51, 0, 0, other), -1);
}

TEST_F(Module, ParametersAndPrograms) {
  EXPECT_EQ(text(8, 49), "Cutoff");
  EXPECT_EQ(text(7, 1), "Center");
  EXPECT_EQ(text(7, 11), "-12");
  EXPECT_EQ(effect->getParameter(effect, 0), 0.9f);
  effect->setParameter(effect, 1, 0.0f);
  EXPECT_EQ(text(7, 1), "100% Left");
  call(effect, 2, 0, 5);
  EXPECT_EQ(call(effect, 3), 5);
  char name[] = "Mist";
  call(effect, 4, 0, 0, name);
  char listed[64] = {};
  EXPECT_EQ(call(effect, 29, 5, 0, listed), 1);
  EXPECT_STREQ(listed, "Mist");
  EXPECT_EQ(call(effect, 29, 16, 0, listed), 0);
}

TEST_F(Module, LifecycleOpcodes) {
  call(effect, 0);
  call(effect, 10, 0, 0, nullptr, 48000.0f);
  call(effect, 11, 0, 256);
  call(effect, 12, 0, 1);
  EXPECT_EQ(moduleHostLog().count(kHostWantMidi), 1);
  float left[64];
  float right[64];
  for (float& s : left) s = 5.0f;
  for (float& s : right) s = 5.0f;
  float* outputs[] = {left, right};
  effect->processReplacing(effect, nullptr, outputs, 64);
  for (int i = 0; i < 64; ++i) {
    ASSERT_EQ(left[i], 0.0f) << i;
    ASSERT_EQ(right[i], 0.0f) << i;
  }
  call(effect, 12, 0, 0);
}

TEST(ModuleEntry, HostAnsweringVersionZeroGetsNothing) {
  PluginModule module{BRUME7_PLUGIN_PATH};
  ASSERT_TRUE(module.loaded()) << module.error;
  moduleHostLog() = ModuleHostLog();
  moduleHostLog().versionAnswer = 0;
  EXPECT_EQ(module.open(), nullptr);
  moduleHostLog().versionAnswer = 2400;
  AEffect* a = module.open();
  AEffect* b = module.open();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_NE(a->object, b->object);
  EXPECT_EQ(call(a, 1), 1);
  EXPECT_EQ(call(b, 1), 1);
}

}  // namespace
}  // namespace brume::test
