// The brume7-host executable itself: help, exit codes, one-line errors, and
// that a failed render leaves no file behind.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "tests/tool/HostToolRun.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/audio/WavFile.h"
#include "BuildPaths.h"

namespace brume {
namespace {

using test::lineCount;
using test::readAll;
using test::ToolRun;

// The first bytes only: a file still being written could be read for as long as it grows.
std::string readStart(const std::string& path, std::size_t bytes) {
  std::ifstream stream(path, std::ios::binary);
  std::string start(bytes, '\0');
  stream.read(start.data(), static_cast<std::streamsize>(bytes));
  start.resize(static_cast<std::size_t>(stream.gcount()));
  return start;
}

class HostTool : public ::testing::Test {
 protected:
  // `shell` runs first in the same shell, e.g. a ulimit.
  ToolRun run(const std::vector<std::string>& arguments, const std::string& shell = "") {
    return test::runHostTool(folder, arguments, shell);
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

  // Starts the tool in the folder without waiting, its output into files there.
  pid_t start(const std::vector<std::string>& arguments) {
    const pid_t child = fork();
    if (child == 0) {
      // The tool starts with a clean signal state, whatever the test runner left.
      sigset_t none;
      sigemptyset(&none);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      for (int stop : {SIGINT, SIGTERM, SIGXFSZ}) std::signal(stop, SIG_DFL);
      if (chdir(folder.path().c_str()) != 0) _exit(127);
      const int out = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, 1);
      dup2(err, 2);
      std::vector<char*> argv{const_cast<char*>(BRUME_TEST_HOST_EXECUTABLE)};
      for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      execv(BRUME_TEST_HOST_EXECUTABLE, argv.data());
      _exit(127);
    }
    return child;
  }

  // Waits for a started tool; answers its exit code (-1 if a signal ended it) and its output.
  ToolRun finish(pid_t child) {
    int status = 0;
    pid_t waited;
    do waited = waitpid(child, &status, 0);
    while (waited < 0 && errno == EINTR);
    EXPECT_EQ(waited, child) << "waitpid: " << std::strerror(errno);
    ToolRun result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readAll(folder.file("stdout.txt"));
    result.err = readAll(folder.file("stderr.txt"));
    std::filesystem::remove(folder.file("stdout.txt"));
    std::filesystem::remove(folder.file("stderr.txt"));
    return result;
  }

  // The render's hidden temporary file, once it holds at least `bytes` bytes (empty after 30 s without).
  std::string temporaryFileWith(std::uintmax_t bytes) const {
    for (int attempt = 0; attempt < 3000; ++attempt) {
      for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        std::error_code error;
        if (name.rfind(".out.wav.part", 0) == 0 && std::filesystem::file_size(entry.path(), error) >= bytes) {
          return entry.path().string();
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
  }

  test::TemporaryFolder folder;
};

TEST_F(HostTool, PrintsHelp) {
  const ToolRun help = run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: brume7-host COMMAND"), std::string::npos) << help.out;
  for (const char* command : {"\n  info ", "\n  render ", "\n  bench "}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << "help lacks " << command;
  }
  const ToolRun renderHelp = run({"render", "--help"});
  EXPECT_EQ(renderHelp.exitCode, 0);
  for (const char* option :
       {"--demo", "--rate", "--block", "--channels", "--program", "--set NAME=VALUE", "--set-at SECONDS:NAME=VALUE",
        "--tail", "--tempo", "--input", "--output", "--format", "--max-length"}) {
    EXPECT_NE(renderHelp.out.find(option), std::string::npos) << "render help lacks " << option;
  }
  // Every command that sets a plug-in up lists the same options for it (play and editor where this build has them).
  for (const char* command : {"info", "render", "bench", "play", "editor", "preset"}) {
    const ToolRun commandHelp = run({command, "--help"});
    if (commandHelp.exitCode != 0 || commandHelp.out.find("--set") == std::string::npos) continue;
    for (const char* option : {"--bank FILE.fxb", "--program N", "--preset FILE.fxp", "--set NAME=VALUE", "--force"}) {
      EXPECT_NE(commandHelp.out.find(option), std::string::npos) << command << " help lacks " << option;
    }
  }
  EXPECT_EQ(run({"bench", "-h"}).exitCode, 0);
  EXPECT_NE(run({"info", "--help"}).out.find("Usage: brume7-host info [OPTIONS] [PLUGIN]"), std::string::npos);
  EXPECT_EQ(run({}).exitCode, 2);
}

TEST_F(HostTool, RefusesUnknownCommandsAndOptionsWithExitCodeTwo) {
  const ToolRun command = run({"frobnicate"});
  EXPECT_EQ(command.exitCode, 2);
  EXPECT_EQ(command.err, "brume7-host: unknown command 'frobnicate'\nTry 'brume7-host --help'.\n");
  const ToolRun option = run({"render", "--demo", "--bogus"});
  EXPECT_EQ(option.exitCode, 2);
  EXPECT_EQ(option.err, "brume7-host render: unknown option '--bogus'\nTry 'brume7-host render --help'.\n");
  if (probeBuilt()) {
    // A value outside the parameter's range is a bad command line too, found once the plug-in is loaded.
    const ToolRun value = run({"render", "--demo", "-p", test::probePluginPath(), "--set", "Level=2"});
    EXPECT_EQ(value.exitCode, 2);
    EXPECT_NE(value.err.find("--set Level 2 is outside 0..1"), std::string::npos) << value.err;
  }
  EXPECT_EQ(run({"--frobnicate"}).exitCode, 2);
  // A preset is saved as .fxp or .fxb, nothing else.
  const ToolRun saveAs = run({"preset", "save", "-o", "out.wav"});
  EXPECT_EQ(saveAs.exitCode, 2);
  EXPECT_NE(saveAs.err.find("the output 'out.wav' must end in .fxp (one program) or .fxb (a bank)"), std::string::npos)
      << saveAs.err;
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
  EXPECT_NE(result.out.find("\nout.wav: 14.00 s, 2 ch, 44100 Hz, float WAV; peak "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find(" dBFS, RMS "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("x realtime\n"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.rfind("out.wav: rendering 14.00 s (4.94 MB)\n", 0), 0u) << "the plan comes first";
  EXPECT_EQ(lineCount(result.out), 2u);
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

TEST_F(HostTool, TakesAnLv2PluginWhereverItTakesAVst2One) {
  const std::string lv2 = test::lv2ProbeBundlePath();
  if (!probeBuilt() || lv2.empty()) GTEST_SKIP() << "probe plug-ins not built";
  const ToolRun info = run({"info", lv2});
  EXPECT_EQ(info.exitCode, 0) << info.err;
  EXPECT_NE(info.out.find("Plug-in:         urn:brume7-tests:probe (LV2)\n"), std::string::npos) << info.out;
  // Alternating formats run by run, with a list of block sizes.
  const ToolRun bench =
      run({"bench", "--runs", "2", "--seconds", "1", "--block", "64,17", test::probePluginPath(), lv2});
  EXPECT_EQ(bench.exitCode, 0) << bench.err;
  EXPECT_NE(bench.out.find("block 64,17, 2 runs per plug-in"), std::string::npos) << bench.out;
  EXPECT_NE(bench.out.find("\n" + lv2 + " "), std::string::npos) << bench.out;
  EXPECT_NE(bench.out.find(" LV2 Probe "), std::string::npos) << bench.out;
  const ToolRun render = run(
      {"render", "--demo", "-p", lv2, "--program", "1", "--set", "GAIN_TRIM=3", "--block", "100,7", "-o", "lv2.wav"});
  EXPECT_EQ(render.exitCode, 0) << render.err;
  EXPECT_NE(render.out.find("lv2.wav: 14.00 s, 2 ch"), std::string::npos) << render.out;
  // Out of the port's range: a bad command line. Programs the plug-in lacks: the work fails.
  const ToolRun range = run({"render", "--demo", "-p", lv2, "--set", "gain_trim=13", "-o", "no.wav"});
  EXPECT_EQ(range.exitCode, 2);
  EXPECT_NE(range.err.find("--set gain_trim 13 is outside -24..12"), std::string::npos) << range.err;
  const ToolRun program = run({"render", "--demo", "-p", lv2, "--program", "3", "-o", "no.wav"});
  EXPECT_EQ(program.exitCode, 1);
  EXPECT_NE(program.err.find("--program 3: the plug-in has 3 programs (0..2)"), std::string::npos) << program.err;
  // The editor is VST 2 only: one line, before any display is needed.
  if (run({"editor", "--help"}).exitCode == 0) {
    const ToolRun editor = run({"editor", lv2});
    EXPECT_EQ(editor.exitCode, 1);
    EXPECT_EQ(editor.err, "brume7-host editor: '" + lv2 + "' is an LV2 plug-in: the editor command shows VST 2 " +
                              "editors only\n");
  }
  EXPECT_EQ(folderFiles(), std::vector<std::string>{"lv2.wav"});
}

// A WAV held in memory, read back through the tool's own reader.
AudioData wavFromBytes(const test::TemporaryFolder& folder, const std::string& bytes) {
  const std::string path = folder.file("check.wav");
  std::ofstream(path, std::ios::binary) << bytes;
  AudioData audio = readWavFile(path);
  std::filesystem::remove(path);
  return audio;
}

TEST_F(HostTool, StreamsToDevicesFifosAndStandardOutput) {
  if (!probeBuilt()) GTEST_SKIP() << "probe plug-in not built";
  const std::vector<std::string> render = {"render", "--demo", "-p", test::probePluginPath(), "--length", "1"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> arguments = render;
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
  };

  // A rename would put a regular file where the device was. As root, a device of the test's own stands in
  // for /dev/null, which only root could lose.
  std::string device = "/dev/null";
  if (geteuid() == 0) {
    device = folder.file("null");
    ASSERT_EQ(mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0) << "cannot make a character device";
  }
  const ToolRun toDevice = run(with({"-o", device}));
  EXPECT_EQ(toDevice.exitCode, 0) << toDevice.err;
  struct stat status {};
  ASSERT_EQ(stat(device.c_str(), &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode)) << device << " is no longer a character device";
  if (geteuid() == 0) std::filesystem::remove(device);

  const std::string fifo = folder.file("pipe.wav");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // The test holds both ends open, so that a tool that never writes to the FIFO cannot leave the reader waiting.
  const int readEnd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  const int writeEnd = open(fifo.c_str(), O_WRONLY);
  ASSERT_TRUE(readEnd >= 0 && writeEnd >= 0);
  fcntl(readEnd, F_SETFL, fcntl(readEnd, F_GETFL) & ~O_NONBLOCK);
  std::string received;
  std::thread reader([&] {
    char buffer[65536];
    for (ssize_t count; (count = read(readEnd, buffer, sizeof buffer)) > 0;) received.append(buffer, count);
  });
  const ToolRun piped = run(with({"-o", "pipe.wav"}));
  close(writeEnd);
  reader.join();
  close(readEnd);
  EXPECT_EQ(piped.exitCode, 0) << piped.err;
  ASSERT_EQ(lstat(fifo.c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode)) << "the FIFO was replaced";
  EXPECT_EQ(wavFromBytes(folder, received).frameCount(), 44100);

  const ToolRun standardOutput = run(with({"-o", "-", "--format", "pcm16"}));
  EXPECT_EQ(standardOutput.exitCode, 0) << standardOutput.err;
  const AudioData streamed = wavFromBytes(folder, standardOutput.out);
  EXPECT_EQ(streamed.frameCount(), 44100);
  EXPECT_EQ(streamed.channels, 2);
  EXPECT_EQ(lineCount(standardOutput.err), 2u) << "plan and summary go to stderr: " << standardOutput.err;
  EXPECT_EQ(folderFiles().size(), 1u) << "only the FIFO";
}

TEST_F(HostTool, ReplacesTheTargetOfASymbolicLink) {
  if (!probeBuilt()) GTEST_SKIP() << "probe plug-in not built";
  std::filesystem::create_directory(folder.file("takes"));
  test::writeFile(folder.file("takes/target.wav"), {'o', 'l', 'd'});
  std::filesystem::create_symlink("takes/target.wav", folder.file("link.wav"));
  std::filesystem::create_symlink("takes/new.wav", folder.file("dangling.wav"));
  for (const char* output : {"link.wav", "dangling.wav"}) {
    const ToolRun result = run({"render", "--demo", "-p", test::probePluginPath(), "--length", "1", "-o", output});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file(output))) << output << " was replaced";
  }
  EXPECT_EQ(readWavFile(folder.file("takes/target.wav")).frameCount(), 44100);
  EXPECT_EQ(readWavFile(folder.file("takes/new.wav")).frameCount(), 44100);
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(folder.file("takes")), std::filesystem::directory_iterator()),
      2)
      << "no temporary file is left beside the targets";
}

TEST_F(HostTool, RefusesOverlongRendersBeforeWritingAnything) {
  if (!probeBuilt()) GTEST_SKIP() << "probe plug-in not built";
  // 40 bytes: one note held for 0x0FFFFFFF ticks at one tick per quarter note, about 37,000 hours.
  test::writeFile(
      folder.file("long.mid"),
      test::joined({test::midiHeader(0, 1, 1),
                    test::midiTrack(test::joined({test::event(0, {0x90, 60, 100}),
                                                  test::event(0x0FFFFFFF, {0x80, 60, 0}), test::endOfTrack()}))}));
  const std::string probe = test::probePluginPath();
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  // 12,200 s of float stereo at 44.1 kHz pass 4 GiB: a stream cannot be patched afterwards.
  const Case cases[] = {
      {{"render", "long.mid", "-p", probe, "-o", "long.wav"},
       "longer than the maximum of 3600 s; raise it with --max-length SECONDS"},
      {{"render", "--demo", "-p", probe, "--max-length", "5", "-o", "demo.wav"}, "longer than the maximum of 5 s"},
      {{"render", "--demo", "-p", probe, "--length", "12200", "-o", "/dev/null"}, "more than a WAV stream holds"},
      {{"render", "--demo", "-p", probe, "--length", "12200", "-o", "-"}, "more than a WAV stream holds"},
  };
  for (const Case& refused : cases) {
    const ToolRun result = run(refused.arguments);
    EXPECT_EQ(result.exitCode, 1) << refused.message;
    EXPECT_NE(result.err.find(refused.message), std::string::npos) << result.err;
    EXPECT_EQ(lineCount(result.err), 1u) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out.size() << " bytes on stdout";
    EXPECT_EQ(folderFiles(), std::vector<std::string>{"long.mid"});
  }
}

TEST_F(HostTool, StopsOnSignalsLeavingNoTemporaryFileAndTheOlderFile) {
  if (!probeBuilt()) GTEST_SKIP() << "probe plug-in not built";
  test::writeFile(folder.file("out.wav"), {'o', 'l', 'd'});
  const struct {
    int signal;
    const char* name;
  } cases[] = {{SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGXFSZ, "SIGXFSZ"}};
  for (const auto& stop : cases) {
    // Past 4 GiB: written as RF64, which the temporary file shows from its first bytes.
    const pid_t tool = start({"render", "--demo", "-p", test::probePluginPath(), "--length", "12200", "-o", "out.wav"});
    const std::string temporary = temporaryFileWith(65536);
    ASSERT_FALSE(temporary.empty()) << "the render wrote nothing";
    EXPECT_EQ(readStart(temporary, 4), "RF64");
    kill(tool, stop.signal);
    const ToolRun result = finish(tool);
    EXPECT_EQ(result.exitCode, 128 + stop.signal) << stop.name << "; standard output: " << result.out;
    EXPECT_NE(result.err.find(std::string("stopped by ") + stop.name), std::string::npos) << result.err;
    EXPECT_EQ(lineCount(result.err), 1u) << result.err;
    EXPECT_EQ(folderFiles(), std::vector<std::string>{"out.wav"}) << stop.name;
    EXPECT_EQ(readAll(folder.file("out.wav")), "old");
  }
}

TEST_F(HostTool, FileSizeLimitGivesOneLineAndNoFile) {
  if (!probeBuilt()) GTEST_SKIP() << "probe plug-in not built";
  // 1 MiB: a 30 s render (10.6 MB) passes it.
  const ToolRun result =
      run({"render", "--demo", "-p", test::probePluginPath(), "--length", "30", "-o", "big.wav"}, "ulimit -f 1024");
  EXPECT_EQ(result.exitCode, 128 + SIGXFSZ);
  EXPECT_EQ(lineCount(result.err), 1u) << result.err;
  EXPECT_TRUE(folderFiles().empty());
}

}  // namespace
}  // namespace brume
