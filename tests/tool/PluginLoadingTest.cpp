// Loading plug-ins, refusing broken ones, and the host callback's answers and records.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/tool/ExpectError.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/plugins/vst2/EffectOpcodes.h"
#include "tools/brume7-host/plugins/vst2/HostContext.h"
#include "tools/brume7-host/plugins/PluginInfo.h"
#include "tools/brume7-host/plugins/vst2/PluginInstance.h"
#include "tools/brume7-host/plugins/vst2/PluginLibrary.h"
#include "tools/brume7-host/plugins/vst2/Vst2Plugin.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

using test::throwsWith;

std::unique_ptr<PluginInstance> loadInstance(const std::string& path, HostContext& host) {
  return std::make_unique<PluginInstance>(std::make_shared<PluginLibrary>(path), host);
}

TEST(PluginLoading, RefusesMissingFilesAndNonLibraries) {
  const test::TemporaryFolder folder;
  const std::string missing = folder.file("nothing.so");
  EXPECT_TRUE(throwsWith<ToolError>([&] { PluginLibrary library(missing); }, "cannot load plug-in '" + missing + "'"));
  const std::string text = folder.file("text.so");
  test::writeFile(text, test::Bytes{'n', 'o', 't', ' ', 'c', 'o', 'd', 'e'});
  EXPECT_TRUE(throwsWith<ToolError>([&] { PluginLibrary library(text); }, "cannot load plug-in '" + text + "'"));
  EXPECT_TRUE(throwsWith<ToolError>([&] { PluginLibrary library(folder.path().string()); }, "it is a directory"));
}

TEST(PluginLoading, RefusesModulesThatAreNotPlugins) {
  if (!test::fileExists(test::brokenPluginPath(1))) GTEST_SKIP() << "broken test plug-ins not built";
  HostContext host;
  EXPECT_TRUE(throwsWith<ToolError>([&] { PluginLibrary library(test::brokenPluginPath(1)); },
                                    "is not a VST 2 plug-in: it exports neither VSTPluginMain nor main"));
  // The second module exports only "main", which the loader falls back to, and which answers null.
  EXPECT_TRUE(throwsWith<ToolError>([&] { loadInstance(test::brokenPluginPath(2), host); },
                                    "made no instance: its entry main answered null"));
  EXPECT_TRUE(throwsWith<ToolError>([&] { loadInstance(test::brokenPluginPath(3), host); },
                                    "wrong magic 0x12345678 (expected 0x56737450, 'VstP')"));
}

class ProbePlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::fileExists(test::probePluginPath()))
      GTEST_SKIP() << "probe plug-in not built: " << test::probePluginPath();
    host.settings.sampleRate = 48000.0;
    host.settings.blockSize = 128;
    host.settings.tempoBpm = 97.5;
    plugin = loadInstance(test::probePluginPath(), host);
  }

  HostContext host;
  std::unique_ptr<PluginInstance> plugin;
};

TEST_F(ProbePlugin, IsCreatedAndStartedAsAHostDoes) {
  EXPECT_EQ(plugin->library().entryName(), "VSTPluginMain");
  EXPECT_EQ(host.log.versionRequests, 1);  // asked by the entry, before the record existed
  plugin->open();
  EXPECT_EQ(plugin->dispatch(kEffectVendorSpecific, 6), 48000);  // sample rate seen
  EXPECT_EQ(plugin->dispatch(kEffectVendorSpecific, 7), 128);    // block size seen
  plugin->resume();
  EXPECT_EQ(host.log.wantEventsCount, 1);
  EXPECT_EQ(host.log.tempoRequests, 1);
  EXPECT_EQ(plugin->dispatch(kEffectVendorSpecific, 1), 975000);  // 97.5 BPM times 10000
  plugin->close();
  EXPECT_TRUE(plugin->isClosed());
  EXPECT_EQ(plugin->dispatch(kEffectVendorSpecific, 1), 0);  // nothing reaches a closed instance
  EXPECT_EQ(plugin->parameterCount(), 0);
}

TEST_F(ProbePlugin, RecordsAutomationEditsAndIdle) {
  plugin->open();
  EXPECT_TRUE(plugin->selectProgram(2));
  EXPECT_EQ(host.log.beginEditCount, 1);
  EXPECT_EQ(host.log.lastBeginEditIndex, 1);
  EXPECT_EQ(host.log.automateCount, 1);
  EXPECT_EQ(host.log.lastAutomateIndex, 1);
  EXPECT_EQ(host.log.lastAutomateValue, 0.5f);
  EXPECT_EQ(host.log.endEditCount, 1);
  EXPECT_EQ(host.log.lastEndEditIndex, 1);
  EXPECT_EQ(host.log.idleCount, 1);
  EXPECT_EQ(plugin->currentProgram(), 2);
  EXPECT_FALSE(plugin->selectProgram(3));  // the probe has programs 0 to 2
  EXPECT_FALSE(plugin->selectProgram(-1));
  EXPECT_EQ(host.log.automateCount, 1);
}

TEST_F(ProbePlugin, ReportsIdentityParametersAndPrograms) {
  Vst2Plugin probe(test::probePluginPath(), std::make_unique<HostContext>());
  probe.configure(44100.0, 512);
  const std::string report = describePlugin(probe);
  for (const char* line :
       {"Effect name:     Probe\n", "Vendor:          Brume tests\n", "Product:         Probe plug-in\n",
        "Vendor version:  7\n", "Unique ID:       'Prb1' (0x50726231)\n", "Version:         3\n",
        "Programs:        3\n", "Parameters:      2\n", "Inputs:          1\n", "Outputs:         2\n",
        "Flags:           0x110 canReplacing isSynth\n", "Category:        2 (synthesizer)\n",
        " receiveVstEvents=1 receiveVstMidiEvent=1 receiveVstTimeInfo=-1\n", "    0  Level      0.50     ",
        "    1  Gain Trim  0.25     dB", "    2  Probe 2\n"}) {
    EXPECT_NE(report.find(line), std::string::npos) << "missing \"" << line << "\" in:\n" << report;
  }
  EXPECT_EQ(probe.parameterName(2), "");  // out of range: nothing asked
  EXPECT_EQ(probe.parameter(-1), 0.0f);
}

TEST(HostCallback, AnswersTheRequestsItServes) {
  HostContext host;
  host.settings.sampleRate = 96000.0;
  host.settings.blockSize = 64;
  EXPECT_EQ(host.answer(kHostVersion, 0, 0, nullptr, 0.0f), 2400);
  EXPECT_EQ(host.answer(kHostTempoAt, 0, 0, nullptr, 0.0f), 1200000);  // 120 BPM by default
  EXPECT_EQ(host.answer(kHostWantMidi, 0, 1, nullptr, 0.0f), 1);
  EXPECT_EQ(host.answer(kHostSampleRate, 0, 0, nullptr, 0.0f), 96000);
  EXPECT_EQ(host.answer(kHostBlockSize, 0, 0, nullptr, 0.0f), 64);
  char text[256];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(host.answer(kHostVendorString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "Pellarine");
  EXPECT_EQ(host.answer(kHostProductString, 0, 0, text, 0.0f), 1);
  EXPECT_STREQ(text, "brume7-host");
  char word[] = "sendVstMidiEvent";
  EXPECT_EQ(host.answer(kHostCanDo, 0, 0, word, 0.0f), 1);
  char other[] = "sizeWindow";
  EXPECT_EQ(host.answer(kHostCanDo, 0, 0, other, 0.0f), 0);
  EXPECT_EQ(host.answer(kHostGetTime, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(host.answer(99, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(host.log.unansweredRequests, 2);
  EXPECT_EQ(host.answer(kHostAutomate, 5, 0, nullptr, 0.625f), 0);
  EXPECT_EQ(host.log.lastAutomateIndex, 5);
  EXPECT_EQ(host.log.lastAutomateValue, 0.625f);
}

TEST(HostCallback, RoutesCallsByRecordAndDuringCreation) {
  HostContext first;
  HostContext second;
  AEffect record{};
  second.attach(record);
  HostContext::callback(&record, kHostIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(second.log.idleCount, 1);
  {
    HostContext::CreationScope scope(first);
    HostContext::callback(nullptr, kHostVersion, 0, 0, nullptr, 0.0f);
    HostContext::callback(&record, kHostIdle, 0, 0, nullptr, 0.0f);  // a record with a context keeps it
  }
  EXPECT_EQ(first.log.versionRequests, 1);
  EXPECT_EQ(second.log.idleCount, 2);
  // With no context at all, the answers still come.
  EXPECT_EQ(HostContext::callback(nullptr, kHostVersion, 0, 0, nullptr, 0.0f), 2400);
}

}  // namespace
}  // namespace brume
