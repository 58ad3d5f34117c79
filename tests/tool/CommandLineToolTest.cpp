// The brume7-host executable itself: help, exit codes, one-line errors, and
// that a failed render leaves no file behind.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/tool/ToolTestSupport.h"

namespace brume {
namespace {

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string readAll(const std::string& path) {
  std::ifstream stream(path);
  std::stringstream text;
  text << stream.rdbuf();
  return text.str();
}

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

class HostTool : public ::testing::Test {
 protected:
  ToolRun run(const std::vector<std::string>& arguments) {
    std::string command = "cd " + quoted(folder.path().string()) + " && " + quoted(BRUME_TEST_HOST_EXECUTABLE);
    for (const std::string& argument : arguments) command += " " + quoted(argument);
    const std::string out = folder.file("stdout.txt");
    const std::string err = folder.file("stderr.txt");
    command += " >" + quoted(out) + " 2>" + quoted(err) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRun result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readAll(out);
    result.err = readAll(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return result;
  }

  // The files in the folder, apart from the captured output.
  std::vector<std::string> folderFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  bool probeBuilt() const { return test::fileExists(test::probePluginPath()); }

  test::TemporaryFolder folder;
};

std::size_t lineCount(const std::string& text) {
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

TEST_F(HostTool, PrintsHelp) {
  const ToolRun help = run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: brume7-host COMMAND"), std::string::npos) << help.out;
  for (const char* command : {"\n  info ", "\n  render ", "\n  bench "}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << "help lacks " << command;
  }
  const ToolRun renderHelp = run({"render", "--help"});
  EXPECT_EQ(renderHelp.exitCode, 0);
  for (const char* option : {"--demo", "--rate", "--block", "--channels", "--program", "--set NAME=VALUE",
                             "--set-at SECONDS:NAME=VALUE", "--tail", "--tempo", "--input", "--output", "--format"}) {
    EXPECT_NE(renderHelp.out.find(option), std::string::npos) << "render help lacks " << option;
  }
  EXPECT_EQ(run({"bench", "-h"}).exitCode, 0);
  EXPECT_NE(run({"info", "--help"}).out.find("Usage: brume7-host info [PLUGIN]"), std::string::npos);
  EXPECT_EQ(run({}).exitCode, 2);
}

TEST_F(HostTool, RefusesUnknownCommandsAndOptionsWithExitCodeTwo) {
  const ToolRun command = run({"frobnicate"});
  EXPECT_EQ(command.exitCode, 2);
  EXPECT_EQ(command.err, "brume7-host: unknown command 'frobnicate'\nTry 'brume7-host --help'.\n");
  const ToolRun option = run({"render", "--demo", "--bogus"});
  EXPECT_EQ(option.exitCode, 2);
  EXPECT_EQ(option.err, "brume7-host render: unknown option '--bogus'\nTry 'brume7-host render --help'.\n");
  const ToolRun value = run({"render", "--demo", "--set", "Level=2"});
  EXPECT_EQ(value.exitCode, 2);
  EXPECT_NE(value.err.find("outside 0..1"), std::string::npos) << value.err;
  EXPECT_EQ(run({"--frobnicate"}).exitCode, 2);
  EXPECT_TRUE(folderFiles().empty());
}

TEST_F(HostTool, FailsWithOneLineAndNoFileForBadInput) {
  if (!probeBuilt()) GTEST_SKIP() << "probe plug-in not built";
  const std::string probe = test::probePluginPath();
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  test::writeFile(folder.file("broken.mid"), {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0, 'M', 'T'});
  const Case cases[] = {
      {{"render", "missing.mid", "-p", probe, "-o", "out.wav"}, "cannot read MIDI file 'missing.mid'"},
      {{"render", "broken.mid", "-p", probe, "-o", "out.wav"}, "MIDI file 'broken.mid': truncated MIDI file"},
      {{"render", "--demo", "-p", probe, "--set", "Nope=0.5", "-o", "out.wav"}, "unknown parameter 'Nope'"},
      {{"render", "--demo", "-p", probe, "--set-at", "1:Nope=0.5", "-o", "out.wav"}, "unknown parameter 'Nope'"},
      {{"render", "--demo", "-p", "missing.so", "-o", "out.wav"}, "cannot load plug-in 'missing.so'"},
      {{"render", "--demo", "-p", probe, "--program", "9", "-o", "out.wav"}, "--program 9: the plug-in has 3 programs"},
      {{"render", "--demo", "-p", probe, "-o", "no-such-folder/out.wav"}, "cannot write 'no-such-folder/out.wav'"},
      {{"info", "missing.so"}, "cannot load plug-in 'missing.so'"},
      {{"info", test::brokenPluginPath(1)}, "exports neither VSTPluginMain nor main"},
      {{"info", test::brokenPluginPath(2)}, "its entry main answered null"},
      {{"render", "--demo", "-p", test::brokenPluginPath(3), "-o", "out.wav"}, "wrong magic 0x12345678"},
  };
  for (const Case& failing : cases) {
    const ToolRun result = run(failing.arguments);
    EXPECT_EQ(result.exitCode, 1) << failing.message;
    EXPECT_NE(result.err.find(failing.message), std::string::npos) << "stderr: " << result.err;
    EXPECT_EQ(lineCount(result.err), 1u) << "stderr: " << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
    const std::vector<std::string> files = folderFiles();
    EXPECT_TRUE(files.size() == 1 && files[0] == "broken.mid") << "left behind: " << files.size() << " files";
  }
}

TEST_F(HostTool, KeepsAnOlderFileWhenARenderFails) {
  if (!probeBuilt()) GTEST_SKIP() << "probe plug-in not built";
  test::writeFile(folder.file("out.wav"), {'o', 'l', 'd'});
  const ToolRun result = run({"render", "--demo", "-p", test::probePluginPath(), "--set", "Nope=1", "-o", "out.wav"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(readAll(folder.file("out.wav")), "old");
  EXPECT_EQ(folderFiles().size(), 1u);
}

TEST_F(HostTool, RendersAndPrintsASummaryLine) {
  if (!probeBuilt()) GTEST_SKIP() << "probe plug-in not built";
  const ToolRun result =
      run({"render", "--demo", "-p", test::probePluginPath(), "--set", "level=0.5", "-o", "out.wav"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // The probe's second output holds its parameter 0 (0.5, -6.02 dBFS) throughout; the demo has no parameter of it.
  EXPECT_EQ(result.out.rfind("out.wav: 14.00 s, 2 ch, 44100 Hz, float WAV; peak ", 0), 0u) << result.out;
  EXPECT_NE(result.out.find(" dBFS, RMS "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("x realtime\n"), std::string::npos) << result.out;
  EXPECT_EQ(lineCount(result.out), 1u);
  EXPECT_TRUE(result.err.empty()) << result.err;  // no progress bar: stderr is not a terminal
  EXPECT_TRUE(std::filesystem::is_regular_file(folder.file("out.wav")));
  EXPECT_EQ(folderFiles().size(), 1u);
}

TEST_F(HostTool, InfoAndBenchRun) {
  if (!probeBuilt()) GTEST_SKIP() << "probe plug-in not built";
  const ToolRun info = run({"info", test::probePluginPath()});
  EXPECT_EQ(info.exitCode, 0) << info.err;
  EXPECT_NE(info.out.find("Unique ID:       'Prb1' (0x50726231)"), std::string::npos) << info.out;
  const ToolRun bench =
      run({"bench", "--runs", "3", "--seconds", "1", test::probePluginPath(), test::probePluginPath()});
  EXPECT_EQ(bench.exitCode, 0) << bench.err;
  EXPECT_NE(bench.out.find("1.00 s at 44100 Hz, block 512, 3 runs per plug-in"), std::string::npos) << bench.out;
  EXPECT_EQ(lineCount(bench.out), 5u) << bench.out;  // title, heading, two plug-ins, note
}

}  // namespace
}  // namespace brume
