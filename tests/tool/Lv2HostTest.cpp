// What only LV2 plug-ins have: how a location on the command line is told
// apart, the refusals of bundles and plug-ins this host cannot play, control
// ports as parameters, programs through the KXStudio extension, and the
// time:Position of the first block and of a tempo change. Through the LV2
// probe (tests/tool/fixtures/ProbeLv2.cpp) and bundles written here.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/tool/ExpectError.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/commands/ParameterAssignment.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
#include "tools/brume7-host/plugins/PluginInfo.h"

namespace brume {
namespace {

using test::throwsWith;

TEST(PluginFormat, FoldersAndUrisAreLv2AndEverythingElseAModuleFile) {
  const test::TemporaryFolder folder;
  const std::string module = folder.file("synth.so");
  test::writeFile(module, {'x'});
  EXPECT_EQ(pluginFormatOf(module), PluginFormat::Vst2);
  EXPECT_EQ(pluginFormatOf(folder.path().string()), PluginFormat::Lv2);
  EXPECT_EQ(pluginFormatOf(folder.file("Missing.lv2")), PluginFormat::Lv2);
  EXPECT_EQ(pluginFormatOf("build/Brume7.lv2/"), PluginFormat::Lv2);
  EXPECT_EQ(pluginFormatOf("urn:pellarine:brume7"), PluginFormat::Lv2);
  EXPECT_EQ(pluginFormatOf("http://distrho.sf.net/plugins/Kars"), PluginFormat::Lv2);
  EXPECT_EQ(pluginFormatOf("missing.so"), PluginFormat::Vst2);
  EXPECT_EQ(pluginFormatOf("C:\\plugins\\BRM7.dll"), PluginFormat::Vst2);  // a drive letter is no scheme
}

// A bundle written into `folder`: a manifest naming the plug-ins, and one description holding `turtle`.
std::string writeBundle(const test::TemporaryFolder& folder, const std::vector<std::string>& uris,
                        const std::string& turtle) {
  const std::string prefixes =
      "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
      "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
      "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
      "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
      "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
  const std::string bundle = folder.file("Test.lv2");
  std::filesystem::create_directories(bundle);
  std::ofstream manifest(bundle + "/manifest.ttl");
  manifest << prefixes;
  for (const std::string& uri : uris) {
    manifest << "<" << uri << "> a lv2:Plugin ; lv2:binary <none.so> ; rdfs:seeAlso <plugin.ttl> .\n";
  }
  std::ofstream(bundle + "/plugin.ttl") << prefixes << turtle;
  return bundle;
}

// An instrument's description with one audio output, and `more` (ports, features) before its final dot.
std::string instrument(const std::string& uri, const std::string& more) {
  return "<" + uri +
         "> a lv2:InstrumentPlugin, lv2:Plugin ; doap:name \"Test\" ;\n"
         "  lv2:port [ a lv2:OutputPort, lv2:AudioPort ; lv2:index 0 ; lv2:symbol \"out\" ; lv2:name \"Out\" ]" +
         more + " .\n";
}

const std::string kMidiPort =
    " , [ a lv2:InputPort, atom:AtomPort ; lv2:index 1 ; lv2:symbol \"events\" ; lv2:name \"Events\" ;"
    " atom:bufferType atom:Sequence ; atom:supports midi:MidiEvent ]";

TEST(Lv2Refusals, NameWhatIsMissingInOneLine) {
  EXPECT_TRUE(
      throwsWith<ToolError>([] { openPlugin("urn:brume7-tests:nothing-of-this-name"); },
                            "no LV2 plug-in with the URI 'urn:brume7-tests:nothing-of-this-name' is installed"));
  const test::TemporaryFolder empty;
  EXPECT_TRUE(throwsWith<ToolError>([&] { openPlugin(empty.path().string()); }, "has no manifest.ttl"));
  EXPECT_TRUE(throwsWith<ToolError>([&] { openPlugin(empty.file("Gone.lv2")); }, "no LV2 bundle at"));

  struct Case {
    std::vector<std::string> uris;
    std::string turtle;
    std::string message;
  };
  const Case cases[] = {
      {{}, "", "describes no plug-in"},
      {{"urn:t:a", "urn:t:b"},
       instrument("urn:t:a", kMidiPort) + instrument("urn:t:b", kMidiPort),
       "holds 2 plug-ins; name one by its URI: urn:t:a, urn:t:b"},
      {{"urn:t:effect"},
       "<urn:t:effect> a lv2:Plugin ; doap:name \"Effect\" ; lv2:port [ a lv2:OutputPort, lv2:AudioPort ;"
       " lv2:index 0 ; lv2:symbol \"out\" ; lv2:name \"Out\" ] .\n",
       "is not an instrument"},
      {{"urn:t:worker"},
       instrument("urn:t:worker", kMidiPort + " ; lv2:requiredFeature <http://lv2plug.in/ns/ext/worker#schedule>"),
       "needs features brume7-host does not offer: worker:schedule"},
      {{"urn:t:deaf"}, instrument("urn:t:deaf", ""), "has no MIDI input"},
  };
  for (const Case& refused : cases) {
    const test::TemporaryFolder folder;
    const std::string bundle = writeBundle(folder, refused.uris, refused.turtle);
    EXPECT_TRUE(throwsWith<ToolError>([&] { openPlugin(bundle); }, refused.message));
  }
}

class Lv2Probe : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::pluginCaseAvailable({"Lv2", test::lv2ProbeBundlePath(), ""})) GTEST_SKIP() << "LV2 probe not built";
    probe = openPlugin(test::lv2ProbeBundlePath(), HostSettings{1000.0, 16, 120.0});
    probe->configure(1000.0, 16);
  }

  // One block of 16 frames: the first output.
  std::vector<float> block(const std::vector<MidiEvent>& events = {}) {
    std::vector<float> input(16, 0.0f);
    std::vector<float> first(16, 0.0f);
    std::vector<float> second(16, 0.0f);
    const float* inputs[] = {input.data()};
    float* outputs[] = {first.data(), second.data()};
    if (!events.empty()) probe->sendEvents(events.data(), events.size());
    probe->process(inputs, outputs, 16);
    return first;
  }

  std::unique_ptr<Plugin> probe;
};

TEST_F(Lv2Probe, ControlInputsAreTheParametersWithTextsUnitsAndRanges) {
  ASSERT_EQ(probe->parameterCount(), 3);
  EXPECT_EQ(probe->inputCount(), 1);
  EXPECT_EQ(probe->outputCount(), 2);
  EXPECT_EQ(probe->parameterName(1), "Gain Trim");
  EXPECT_EQ(probe->parameterDisplay(1), "-6 dB");  // the port's default, with its unit's symbol
  EXPECT_EQ(probe->parameterLabel(1), "dB");
  EXPECT_EQ(probe->parameterDisplay(2), "Saw");  // a scale point's label
  probe->setParameter(2, 2.0f);
  EXPECT_EQ(probe->parameterDisplay(2), "Square");
  probe->setParameter(1, -7.125f);
  EXPECT_EQ(probe->parameterDisplay(1), "-7.125 dB");
  probe->setParameter(0, 0.333333f);
  EXPECT_EQ(probe->parameterDisplay(0), "0.3333");  // four significant digits
  EXPECT_EQ(probe->parameterDisplay(3), "");
  EXPECT_EQ(probe->parameter(-1), 0.0f);
  const ParameterRange range = probe->parameterRange(1);
  EXPECT_EQ(range.minimum, -24.0f);
  EXPECT_EQ(range.maximum, 12.0f);

  // Found by name, by symbol (any case) and by index; values in the port's range.
  EXPECT_EQ(probe->findParameter("gain trim"), 1);
  EXPECT_EQ(probe->findParameter("GAIN_TRIM"), 1);
  EXPECT_EQ(probe->findParameter("2"), 2);
  EXPECT_EQ(probe->findParameter("volume"), -1);
  EXPECT_EQ(resolveSetting(*probe, parseAssignment("gain_trim=-20", "--set")), 1);
  EXPECT_TRUE(throwsWith<UsageError>([&] { resolveSetting(*probe, parseAssignment("gain_trim=20", "--set")); },
                                     "--set gain_trim 20 is outside -24..12"));
}

TEST_F(Lv2Probe, ProgramsComeThroughTheProgramsExtension) {
  EXPECT_EQ(probe->currentProgram(), -1);  // the extension cannot tell before one is selected
  ASSERT_EQ(probe->programCount(), 3);
  EXPECT_EQ(probe->programName(2), "Probe 2");
  EXPECT_EQ(probe->programName(3), "");
  EXPECT_TRUE(probe->selectProgram(2));
  EXPECT_EQ(probe->currentProgram(), 2);
  // The probe sets Level to its program's number / 4, in its control port: the parameter follows.
  EXPECT_EQ(probe->parameter(0), 0.5f);
  EXPECT_FALSE(probe->selectProgram(3));
  EXPECT_FALSE(probe->selectProgram(-1));
  EXPECT_EQ(probe->currentProgram(), 2);

  const std::string report = describePlugin(*probe);
  for (const char* line : {"Plug-in:         urn:brume7-tests:probe (LV2)\n", "Author:          Brume tests\n",
                           "Version:         2.5\n", "Programs:        3 (KXStudio programs extension)\n",
                           "MIDI input:      port 6 'events', takes time:Position\n", "Programs (3, current 2)\n",
                           "    2  Probe 2\n", "    1  gain_trim  control in   Gain Trim  -24..12, default -6 dB\n",
                           "  Loud  <urn:brume7-tests:probe#loud>\n"}) {
    EXPECT_NE(report.find(line), std::string::npos) << "missing \"" << line << "\" in:\n" << report;
  }
}

TEST_F(Lv2Probe, ATimePositionComesInTheFirstBlockAndAfterATempoChange) {
  // The probe marks a position with minus its tempo over 1000 at its frame, and a note-on with velocity / 127.
  probe->start();
  MidiEvent note;
  note.frame = 0;
  note.size = 3;
  note.bytes[0] = 0x90;
  note.bytes[1] = 60;
  note.bytes[2] = 127;
  EXPECT_FLOAT_EQ(block({note})[0], 1.0f - 0.12f);  // the position comes before the block's MIDI
  EXPECT_EQ(block()[0], 0.0f);
  probe->setTempo(97.5);
  EXPECT_FLOAT_EQ(block()[0], -0.0975f);
  probe->setTempo(97.5);
  EXPECT_EQ(block()[0], 0.0f);  // the same tempo again: nothing new to tell
  // A restart is a new first block.
  probe->stop();
  probe->start();
  EXPECT_FLOAT_EQ(block()[0], -0.0975f);
}

TEST(Lv2Kars, HasNoProgramsToSelect) {
  if (!test::pluginCaseAvailable({"KarsLv2", "/usr/lib/lv2/Kars.lv2", "dpf-plugins-lv2"}))
    GTEST_SKIP() << "install Debian's dpf-plugins-lv2";
  const std::unique_ptr<Plugin> kars = openPlugin("/usr/lib/lv2/Kars.lv2");
  kars->configure(44100.0, 512);
  EXPECT_EQ(kars->programCount(), 0);
  EXPECT_FALSE(kars->selectProgram(0));
  EXPECT_EQ(programRefusal("--program", 0, kars->programCount()), "--program 0: the plug-in has no programs");
}

}  // namespace
}  // namespace brume
