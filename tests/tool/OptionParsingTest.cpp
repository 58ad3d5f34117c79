// The command line of render and bench: values, defaults and the errors a
// user gets for a bad one.

#include <gtest/gtest.h>

#include "tests/tool/ExpectError.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/render/Bench.h"
#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/commands/ParameterAssignment.h"
#include "tools/brume7-host/render/RenderOptions.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

using test::throwsWith;

TEST(RenderOptions, ReadsEveryOption) {
  const RenderOptions options = parseRenderOptions(
      {"--plugin", "synth.so",      "--rate=48000", "--block", "256",    "--channels", "1",         "--program",
       "3",        "--set",         "Cutoff=0.25",  "--set",   "7 = 1",  "--set-at",   "1.5:Pan=0", "--tail",
       "0.5",      "--tempo",       "90",           "--input", "in.wav", "-o",         "out.wav",   "--format",
       "pcm16",    "--no-progress", "--max-length", "7200",    "--bank", "in.fxb",     "--preset",  "one.fxp",
       "--force",  "song.mid"});
  EXPECT_EQ(options.pluginPath, "synth.so");
  EXPECT_EQ(options.sampleRate, 48000.0);
  EXPECT_EQ(options.blockSize, 256);
  EXPECT_EQ(options.channels, 1);
  ASSERT_TRUE(options.setup.program.has_value());
  EXPECT_EQ(*options.setup.program, 3);
  ASSERT_EQ(options.setup.settings.size(), 2u);
  EXPECT_EQ(options.setup.settings[0].parameter, "Cutoff");
  EXPECT_EQ(options.setup.settings[0].value, 0.25f);
  EXPECT_EQ(options.setup.settings[1].parameter, "7");
  EXPECT_EQ(options.setup.settings[1].value, 1.0f);
  EXPECT_EQ(options.setup.bankPath, "in.fxb");
  EXPECT_EQ(options.setup.presetPath, "one.fxp");
  EXPECT_TRUE(options.setup.force);
  ASSERT_EQ(options.automation.size(), 1u);
  EXPECT_EQ(options.automation[0].seconds, 1.5);
  EXPECT_EQ(options.automation[0].assignment.parameter, "Pan");
  EXPECT_EQ(options.automation[0].assignment.value, 0.0f);
  EXPECT_EQ(options.tailSeconds, 0.5);
  ASSERT_TRUE(options.tempoBpm.has_value());
  EXPECT_EQ(*options.tempoBpm, 90.0);
  EXPECT_EQ(options.inputPath, "in.wav");
  EXPECT_EQ(options.resolvedOutputPath(), "out.wav");
  EXPECT_EQ(options.resolvedFormat(), SampleFormat::Pcm16);
  EXPECT_FALSE(options.progress);
  EXPECT_EQ(options.maxLengthSeconds, 7200.0);
  EXPECT_EQ(options.midiPath, "song.mid");
}

TEST(RenderOptions, HasTheDocumentedDefaults) {
  const RenderOptions options = parseRenderOptions({"--demo"});
  EXPECT_TRUE(options.demo);
  EXPECT_TRUE(options.pluginPath.empty());
  EXPECT_EQ(options.sampleRate, 44100.0);
  EXPECT_EQ(options.blockSize, 512);
  EXPECT_EQ(options.channels, 2);
  EXPECT_FALSE(options.setup.program.has_value());
  EXPECT_EQ(options.tailSeconds, 2.0);
  EXPECT_FALSE(options.tempoBpm.has_value());
  EXPECT_EQ(options.resolvedOutputPath(), "demo.wav");
  EXPECT_EQ(options.resolvedFormat(), SampleFormat::Float32);
  EXPECT_TRUE(options.progress);
  EXPECT_EQ(options.maxLengthSeconds, 3600.0) << "one hour";

  EXPECT_EQ(parseRenderOptions({"music/Song.Final.mid"}).resolvedOutputPath(), "Song.Final.wav");
  if (flacSupported()) {
    EXPECT_EQ(parseRenderOptions({"--demo", "-o", "x.FLAC"}).resolvedFormat(), SampleFormat::Pcm24);
  }
}

TEST(RenderOptions, RefusesBadValues) {
  // Parameter values must be numbers; their range is the plug-in's, checked when it is loaded.
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo", "--set", "Cutoff=high"}); }, "Cutoff"));
  EXPECT_EQ(parseRenderOptions({"--demo", "--set", "Cutoff=1.5"}).setup.settings.at(0).valueText, "1.5");
  // Block sizes: one, or a list cycled block after block whose largest is the plug-in's block size.
  const RenderOptions cycled = parseRenderOptions({"--demo", "--block", "64,17,300"});
  EXPECT_EQ(cycled.blockSize, 300);
  EXPECT_EQ(cycled.resolvedBlockSizes(), (std::vector<int>{64, 17, 300}));
  EXPECT_EQ(cycled.blockText(), "64,17,300");
  EXPECT_EQ(parseRenderOptions({"--demo", "--block", "128"}).resolvedBlockSizes(), (std::vector<int>{128}));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo", "--block", "64,,8"}); }, "--block"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo", "--block", "64,0"}); }, "--block"));
  // Bad numbers.
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "--rate", "44.1k"});
      },
      "bad number '44.1k' for --rate"));
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "--block", "12.5"});
      },
      "bad whole number '12.5' for --block"));
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "--set", "Cutoff=loud"});
      },
      "bad number 'loud'"));
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "--set-at", "soon:Pan=0.5"});
      },
      "bad number 'soon' for --set-at time"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo", "--tempo", "nan"}); }, "bad number 'nan'"));
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "--block", "0"});
      },
      "--block 0 is outside 1..65536"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo", "--tail", "-1"}); }, "outside 0..3600"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo", "--max-length", "0"}); }, "--max-length 0"));
  // Malformed assignments.
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "--set", "Cutoff"});
      },
      "is not of the form NAME=VALUE"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo", "--set", "=0.5"}); }, "names no parameter"));
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "--set-at", "Pan=0.5"});
      },
      "is not of the form SECONDS:NAME=VALUE"));
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "--format", "mp3"});
      },
      "unknown sample format 'mp3'"));
}

TEST(RenderOptions, RefusesMissingArgumentsAndUnknownOptions) {
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "--rate"});
      },
      "option '--rate' needs a value"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo", "-o"}); }, "option '--output' needs a value"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo", "--loud"}); }, "unknown option '--loud'"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"--demo=yes"}); }, "option '--demo' takes no value"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({}); }, "nothing to play"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"a.mid", "b.mid"}); }, "more than one MIDI file"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseRenderOptions({"a.mid", "--demo"}); }, "not both"));
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseRenderOptions({"--demo", "-o", "x.flac", "--format", "float"});
      },
      flacSupported() ? "FLAC holds integer samples" : "FLAC output is not available"));
}

TEST(CommandLine, TakesOptionValuesThatLookLikeOptionsAndStopsAtDoubleDash) {
  const std::vector<OptionRule> rules = {{"--tempo", "", true}, {"--quiet", "-q", false}};
  const ParsedCommandLine parsed = parseCommandLine({"--tempo", "-5", "-q", "--", "--tempo", "x"}, rules);
  ASSERT_EQ(parsed.options.size(), 2u);
  EXPECT_EQ(parsed.options[0].second, "-5");
  EXPECT_EQ(parsed.options[1].first, "--quiet");
  ASSERT_EQ(parsed.positionals.size(), 2u);
  EXPECT_EQ(parsed.positionals[0], "--tempo");
}

TEST(BenchOptions, ReadsPluginsAndSettings) {
  const BenchOptions options = parseBenchOptions({"--runs", "3", "--seconds", "4", "a.so", "b.so", "--block", "64"});
  EXPECT_EQ(options.runs, 3);
  ASSERT_TRUE(options.render.lengthSeconds.has_value());
  EXPECT_EQ(*options.render.lengthSeconds, 4.0);
  EXPECT_EQ(options.render.blockSize, 64);
  EXPECT_TRUE(options.render.demo);
  ASSERT_EQ(options.plugins.size(), 2u);
  EXPECT_EQ(options.plugins[1], "b.so");
  EXPECT_FALSE(parseBenchOptions({"--midi", "x.mid", "a.so"}).render.demo);
  EXPECT_TRUE(throwsWith<UsageError>([] { parseBenchOptions({"--runs", "3"}); }, "no plug-in given"));
  EXPECT_TRUE(throwsWith<UsageError>(
      [] {
        parseBenchOptions({"--runs", "0", "a.so"});
      },
      "--runs 0 is outside 1..1000"));
  EXPECT_TRUE(throwsWith<UsageError>([] { parseBenchOptions({"a.so", "--seconds"}); }, "needs a value"));
}

TEST(ParameterLookup, MatchesNamesWithoutCaseThenIndexes) {
  const std::vector<std::string> names = {"Volume", "Pan", "G Wet", "7", "Cutoff "};
  EXPECT_EQ(findParameter(names, "volume"), 0);
  EXPECT_EQ(findParameter(names, "PAN"), 1);
  EXPECT_EQ(findParameter(names, "g wet"), 2);
  EXPECT_EQ(findParameter(names, "cutoff"), 4);  // the plug-in's trailing space does not matter
  EXPECT_EQ(findParameter(names, "7"), 3);       // a name wins over an index
  EXPECT_EQ(findParameter(names, "4"), 4);
  EXPECT_EQ(findParameter(names, "5"), -1);  // no parameter 5
  EXPECT_EQ(findParameter(names, "-1"), -1);
  EXPECT_EQ(findParameter(names, "Vol"), -1);  // no prefix matching
  EXPECT_TRUE(throwsWith<ToolError>([&] { resolveParameter(names, "Resonance"); },
                                    "unknown parameter 'Resonance': the plug-in has 5 parameters"));
}

}  // namespace
}  // namespace brume
