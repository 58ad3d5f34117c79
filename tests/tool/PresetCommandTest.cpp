// VST 2 preset files through the brume7-host executable: a library bank's
// program sounds as its values set one by one; a saved preset renders as the
// settings it was saved from (Brume7 and DPF's Kars with parameter lists,
// DPF's Dragonfly reverb with chunks); every bad file is refused in one line
// before the plug-in is changed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "host/HostRecords.h"
#include "host/PresetFile.h"
#include "tests/tool/HostToolRun.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/presets/PresetFileAccess.h"
#include "BuildPaths.h"

namespace brume::test {
namespace {

constexpr std::int32_t kBrume7Id = fourCharacterCode('B', 'R', 'M', '7');
constexpr int kBrume7Parameters = 54;
constexpr int kBrume7Programs = 16;

std::string libraryBank(const std::string& name) { return std::string(BRUME_TEST_PRESETS_DIR) + "/" + name; }
std::string dragonflyPath() { return "/usr/lib/lxvst/DragonflyRoomReverb-vst.so"; }

// A value as text that reads back as the same float.
std::string exactText(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

// "" when equal, else where they first differ.
std::string firstDifference(const std::vector<float>& actual, const std::vector<float>& expected) {
  if (actual.size() != expected.size()) {
    return std::to_string(actual.size()) + " samples instead of " + std::to_string(expected.size());
  }
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (actual[i] != expected[i]) {
      return "sample " + std::to_string(i) + ": " + exactText(actual[i]) + " instead of " + exactText(expected[i]);
    }
  }
  return "";
}

// A Brume7 file of made-up sounds: every value distinct from the defaults.
PresetFile brume7File(PresetKind kind, int programs = kBrume7Programs, int parameters = kBrume7Parameters) {
  PresetFile file;
  file.kind = kind;
  file.pluginId = kBrume7Id;
  file.pluginVersion = 1;
  file.count = kind == PresetKind::Bank ? programs : parameters;
  for (int p = 0; p < (kind == PresetKind::Bank ? programs : 1); ++p) {
    PresetProgram program;
    program.name = "Made " + std::to_string(p);
    for (int i = 0; i < parameters; ++i) program.values.push_back(static_cast<float>((p * 7 + i * 3) % 17) / 16.0f);
    file.programs.push_back(program);
  }
  return file;
}

void writePreset(const std::string& path, const PresetFile& file) { writeFile(path, writePresetFile(file)); }

class PresetFiles : public ::testing::Test {
 protected:
  ToolRun run(const std::vector<std::string>& arguments) { return runHostTool(folder, arguments); }

  // Renders through `plugin` with `options`: 3 s of the demo, or of `input` through an effect.
  std::vector<float> render(const std::string& plugin, const std::vector<std::string>& options,
                            const std::string& input = "") {
    const std::string output = "render" + std::to_string(renders++) + ".wav";
    std::vector<std::string> arguments = {"render", "-p", plugin, "--length", "3", "--no-progress", "-o", output};
    if (input.empty()) {
      arguments.push_back("--demo");
    } else {
      arguments.insert(arguments.end(), {"--input", input});
    }
    arguments.insert(arguments.end(), options.begin(), options.end());
    const ToolRun result = run(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    if (result.exitCode != 0) return {};
    return readAudioFile(folder.file(output)).samples;
  }

  TemporaryFolder folder;
  int renders = 0;
};

TEST_F(PresetFiles, ALibraryProgramSoundsAsItsValuesSetOneByOne) {
  const std::string brume7 = brume7PluginPath();
  const std::string leads = libraryBank("leads.fxb");
  if (!fileExists(brume7) || !fileExists(leads)) GTEST_SKIP() << "Brume7 or its library is not built";
  const PresetFile bank = readPresetFileAt(leads);
  std::vector<std::string> settings;
  for (std::size_t i = 0; i < bank.programs.at(3).values.size(); ++i) {
    settings.insert(settings.end(), {"--set", std::to_string(i) + "=" + exactText(bank.programs[3].values[i])});
  }
  // The --set values come after the bank and its program, whatever their place on the command line (not Cutoff:
  // the demo moves it).
  settings.insert(settings.end(), {"--set", "Volume=0.3"});
  const std::vector<float> fromBank = render(brume7, {"--set", "Volume=0.3", "--bank", leads, "--program", "3"});
  ASSERT_FALSE(fromBank.empty());
  EXPECT_EQ(firstDifference(fromBank, render(brume7, settings)), "");
  EXPECT_NE(firstDifference(fromBank, render(brume7, {})), "") << "program 3 sounds like the defaults";

  // Every program takes its name; a bank without a current-program field leaves program 0 current.
  const ToolRun info = run({"info", brume7, "--bank", leads});
  EXPECT_EQ(info.exitCode, 0) << info.err;
  EXPECT_NE(info.out.find("Programs (16, current 0)\n"), std::string::npos) << info.out;
  for (std::size_t p = 0; p < bank.programs.size(); ++p) {
    const std::string line = (p < 10 ? "    " : "   ") + std::to_string(p) + "  " + bank.programs[p].name + "\n";
    EXPECT_NE(info.out.find(line), std::string::npos) << line << info.out;
  }
  // A program file names the program that --program selected.
  ASSERT_EQ(run({"preset", "save", "-p", brume7, "--bank", leads, "--program", "3", "-o", "three.fxp"}).exitCode, 0);
  const ToolRun named = run({"info", brume7, "--preset", "three.fxp", "--bank", leads, "--program", "5"});
  EXPECT_NE(named.out.find("    5  " + bank.programs[3].name + "\n"), std::string::npos) << named.out;
}

TEST_F(PresetFiles, ForceLoadsAFileMadeForAnotherUniqueId) {
  const std::string brume7 = brume7PluginPath();
  if (!fileExists(brume7)) GTEST_SKIP() << "Brume7 is not built";
  PresetFile bank = brume7File(PresetKind::Bank);
  bank.pluginId = fourCharacterCode('O', 't', 'h', 'r');
  writePreset(folder.file("other.fxb"), bank);
  const ToolRun refused = run({"info", brume7, "--bank", "other.fxb"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("for the plug-in 'Othr', not 'BRM7' (--force loads it all the same)"), std::string::npos)
      << refused.err;
  const ToolRun forced = run({"info", brume7, "--bank", "other.fxb", "--force", "--program", "15"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_NE(forced.out.find("Programs (16, current 15)\n    0  Made 0\n"), std::string::npos) << forced.out;
}

// A plug-in that a saved preset must bring back: the options that set it up
// and the layout its files take.
struct PresetPeer {
  const char* name;
  std::string location;
  std::string missing;  // the Debian package to install when it is not there; empty for our own
  std::vector<std::string> options;
  std::string layout;  // as `preset save` and `preset list` name it
  bool effect;         // rendered on an input rather than the demo
};

class SavedPreset : public PresetFiles, public ::testing::WithParamInterface<PresetPeer> {
 protected:
  void SetUp() override {
    const PresetPeer& peer = GetParam();
    if (!fileExists(peer.location)) {
      GTEST_SKIP() << (peer.missing.empty() ? peer.location + " is not built"
                                            : peer.location + " is not installed; install Debian's " + peer.missing);
    }
    if (peer.effect) {
      // Two channels of a sparse click train with a decaying level: reverb on it is easy to hear.
      AudioFileLayout layout;
      std::vector<float> samples(2 * 44100, 0.0f);
      for (std::size_t i = 0; i < samples.size(); i += 2 * 2205) samples[i] = 1.0f - static_cast<float>(i) * 4e-6f;
      const std::unique_ptr<AudioFileWriter> writer = openAudioFileWriter(folder.file("input.wav"), layout);
      writer->write(samples.data(), samples.size() / 2);
      writer->finish();
    }
  }

  std::vector<float> renderPeer(const std::vector<std::string>& options) {
    return render(GetParam().location, options, GetParam().effect ? "input.wav" : "");
  }
};

TEST_P(SavedPreset, RendersAsTheSettingsItWasSavedFrom) {
  const PresetPeer& peer = GetParam();
  std::vector<std::string> save = {"preset", "save", "-p", peer.location};
  save.insert(save.end(), peer.options.begin(), peer.options.end());
  for (const char* name : {"saved.fxp", "saved.fxb"}) {
    std::vector<std::string> arguments = save;
    arguments.insert(arguments.end(), {"-o", name});
    const ToolRun saved = run(arguments);
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(lineCount(saved.out), 1u) << saved.out;
    EXPECT_NE(saved.out.find(peer.layout), std::string::npos) << saved.out;
  }
  const ToolRun program = run({"preset", "list", "saved.fxp"});
  EXPECT_EQ(program.exitCode, 0) << program.err;
  EXPECT_EQ(program.out.rfind("saved.fxp: one program ", 0), 0u) << program.out;
  EXPECT_NE(program.out.find(peer.layout), std::string::npos) << program.out;
  const ToolRun bank = run({"preset", "list", "saved.fxb"});
  EXPECT_EQ(bank.exitCode, 0) << bank.err;
  EXPECT_EQ(bank.out.rfind("saved.fxb: a bank of ", 0), 0u) << bank.out;
  EXPECT_NE(bank.out.find("format version 2)\n"), std::string::npos) << bank.out;

  const std::vector<float> expected = renderPeer(peer.options);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(firstDifference(renderPeer({"--preset", "saved.fxp"}), expected), "");
  EXPECT_EQ(firstDifference(renderPeer({"--bank", "saved.fxb"}), expected), "");
  EXPECT_NE(firstDifference(renderPeer({}), expected), "") << "the options change nothing that is heard";
}

INSTANTIATE_TEST_SUITE_P(
    Plugins, SavedPreset,
    ::testing::Values(
        // The library's program 3, changed, lands in program 3 of the bank, whose current program it is.
        PresetPeer{"Brume7",
                   brume7PluginPath(),
                   "",
                   {"--bank", libraryBank("leads.fxb"), "--program", "3", "--set", "Volume=0.3"},
                   "parameter list",
                   false},
        PresetPeer{"Kars",
                   karsPluginPath(),
                   "dpf-plugins-vst",
                   {"--set", "Sustain=1", "--set", "Release=0.5", "--set", "Volume=0.5"},
                   "parameter list",
                   false},
        // Its programs travel as chunks (flag 0x020): DPF's text of its state.
        PresetPeer{"DragonflyRoom",
                   dragonflyPath(),
                   "dragonfly-reverb-vst",
                   {"--set", "Early Level=0.9", "--set", "Late Level=0.5", "--set", "Dry Level=0.25"},
                   "the plug-in's own chunk",
                   true}),
    [](const ::testing::TestParamInfo<PresetPeer>& info) { return std::string(info.param.name); });

// A file the tools must refuse: how it is made, the command line, the message.
struct Refusal {
  const char* name;
  std::vector<std::string> arguments;  // "{brume7}", "{dragonfly}" and "{lv2}" stand for those plug-ins
  const char* message;
};

class RefusedPreset : public PresetFiles, public ::testing::WithParamInterface<Refusal> {
 protected:
  void SetUp() override {
    const Bytes bank = writePresetFile(brume7File(PresetKind::Bank));
    writeFile(folder.file("bank.fxb"), bank);
    writePreset(folder.file("program.fxp"), brume7File(PresetKind::Program));
    PresetFile file = brume7File(PresetKind::Bank);
    file.pluginId = fourCharacterCode('D', 'K', 'r', 's');
    writePreset(folder.file("kars.fxb"), file);
    writePreset(folder.file("53.fxp"), brume7File(PresetKind::Program, 1, kBrume7Parameters - 1));
    writePreset(folder.file("15.fxb"), brume7File(PresetKind::Bank, kBrume7Programs - 1));
    file = brume7File(PresetKind::Program);
    file.programs[0].values[9] = std::numeric_limits<float>::quiet_NaN();
    writePreset(folder.file("nan.fxp"), file);
    file = brume7File(PresetKind::Bank);
    file.formatVersion = 2;
    file.currentProgram = kBrume7Programs;
    writePreset(folder.file("current16.fxb"), file);
    file = brume7File(PresetKind::Program);
    file.layout = PresetLayout::OpaqueChunk;
    file.chunk = {1, 2, 3, 4};
    writePreset(folder.file("chunk.fxp"), file);
    // Dragonfly answers 0 to a chunk of one byte.
    file.pluginId = fourCharacterCode('d', 'f', 'r', '2');
    file.count = 17;
    file.chunk = {0};
    writePreset(folder.file("refused.fxp"), file);
    writeFile(folder.file("riff.fxb"), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0, 0, 0,
                                        0,   0,   0,   0,   0, 0, 0, 0, 0,   0,   0,   0,   0, 0, 0, 0});
    writeFile(folder.file("truncated.fxb"), Bytes(bank.begin(), bank.end() - 100));
    Bytes longer = bank;
    longer.insert(longer.end(), 4, 0);
    writeFile(folder.file("longer.fxb"), longer);
    writeFile(folder.file("huge.fxb"), bank);
    std::filesystem::resize_file(folder.file("huge.fxb"), kLargestPresetFileBytes + 1);  // sparse
    std::filesystem::create_directory(folder.file("folder.fxb"));
    writeFile(folder.file("old.fxp"), {'o', 'l', 'd'});
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
      prepared.push_back(entry.path().filename().string());
    std::sort(prepared.begin(), prepared.end());
  }

  std::vector<std::string> folderFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::vector<std::string> prepared;
};

// The plug-in a placeholder stands for, or the argument itself; empty when that plug-in is not there.
std::string withPlugins(const std::string& argument) {
  if (argument == "{brume7}") return fileExists(brume7PluginPath()) ? brume7PluginPath() : "";
  if (argument == "{dragonfly}") return fileExists(dragonflyPath()) ? dragonflyPath() : "";
  if (argument == "{lv2}") return lv2ProbeBundlePath();
  return argument;
}

TEST_P(RefusedPreset, InOneLineBeforeThePluginChanges) {
  std::vector<std::string> arguments;
  for (const std::string& argument : GetParam().arguments) {
    arguments.push_back(withPlugins(argument));
    if (arguments.back().empty())
      GTEST_SKIP() << argument << " is not there (Dragonfly: Debian's dragonfly-reverb-vst)";
  }
  const ToolRun result = run(arguments);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
  EXPECT_EQ(lineCount(result.err), 1u) << result.err;
  // Nothing started: a render prints its plan first, a save its file.
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(folderFiles(), prepared);
  EXPECT_EQ(readAll(folder.file("old.fxp")), "old");
}

const std::vector<std::string> kRender = {"render", "--demo", "-p", "{brume7}", "-o", "out.wav"};

std::vector<std::string> rendering(std::vector<std::string> options) {
  options.insert(options.begin(), kRender.begin(), kRender.end());
  return options;
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, RefusedPreset,
    ::testing::Values(
        Refusal{"Missing", rendering({"--bank", "missing.fxb"}), "--bank: cannot read 'missing.fxb': No such file"},
        Refusal{"Unreadable", rendering({"--preset", "folder.fxb"}), "cannot read 'folder.fxb': Is a directory"},
        Refusal{"WrongMagic", rendering({"--bank", "riff.fxb"}), "not a VST preset file (no 'CcnK' magic)"},
        Refusal{"AnotherPlugin", {"info", "{brume7}", "--bank", "kars.fxb"}, "the plug-in 'DKrs', not 'BRM7'"},
        Refusal{"ParameterCount", rendering({"--preset", "53.fxp"}), "53 parameters per program; the plug-in has 54"},
        Refusal{"ProgramCount",
                {"preset", "save", "-p", "{brume7}", "--bank", "15.fxb", "-o", "old.fxp"},
                "the bank holds 15 programs; the plug-in has 16"},
        Refusal{"Truncated", rendering({"--bank", "truncated.fxb"}), "--bank 'truncated.fxb': the file is truncated"},
        Refusal{"Oversized", rendering({"--bank", "longer.fxb"}), "the file is longer than its programs"},
        Refusal{"Huge", {"bench", "--runs", "1", "--bank", "huge.fxb", "{brume7}"}, "too large for a preset file"},
        Refusal{"ValueOutsideTheRange", rendering({"--preset", "nan.fxp"}), "the value nan for parameter 9"},
        Refusal{"CurrentProgramOutside", rendering({"--bank", "current16.fxb"}), "its current program 16 is not one"},
        Refusal{"ChunkForAListPlugin", rendering({"--preset", "chunk.fxp"}), "the plug-in takes parameter lists only"},
        Refusal{"ChunkRefused",
                {"render", "--demo", "-p", "{dragonfly}", "--preset", "refused.fxp", "-o", "out.wav"},
                "the plug-in refused the file's chunk"},
        Refusal{"ProgramFileAsBank", rendering({"--bank", "program.fxp"}), "one program (.fxp); --bank takes a bank"},
        Refusal{"BankAsProgramFile", rendering({"--preset", "bank.fxb"}), "a bank (.fxb); --preset takes one program"},
        Refusal{"ProgramThePluginLacks", rendering({"--bank", "bank.fxb", "--program", "16"}),
                "--program 16: the plug-in has 16 programs (0..15)"},
        Refusal{"SavedFromAnLv2Plugin",
                {"preset", "save", "-p", "{lv2}", "-o", "old.fxp"},
                "is an LV2 plug-in, and .fxp and .fxb files are VST 2 preset files"},
        Refusal{"Lv2Plugin",
                {"render", "--demo", "-p", "{lv2}", "--preset", "program.fxp", "-o", "out.wav"},
                "is an LV2 plug-in, and .fxp and .fxb files are VST 2 preset files"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brume::test
