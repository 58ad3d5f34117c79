// `brume7-host editor` with the real plug-in under a private Xvfb server: a
// knob dragged with xdotool reaches the host as automation framed by begin
// and end of the edit, the screenshot equals the headless snapshot, and the
// ways the command ends (window closed, destroyed, SIGTERM, --seconds) and fails.

#include <fcntl.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "X11TestSupport.h"
#include "BuildPaths.h"

namespace brume::testing {
namespace {

constexpr int kReadTimeoutMilliseconds = 15000;

// The tool run as a child process, its output read line by line.
class ToolProcess {
 public:
  // `display` empty: $DISPLAY is removed from the child's environment.
  ToolProcess(const std::vector<std::string>& arguments, const std::string& display) {
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    pid = fork();
    if (pid == 0) {
      dup2(out[1], 1);
      dup2(err[1], 2);
      close(out[0]);
      close(err[0]);
      if (display.empty())
        unsetenv("DISPLAY");
      else
        setenv("DISPLAY", display.c_str(), 1);
      std::vector<char*> argv;
      std::string program = BRUME7_HOST_TOOL;
      argv.push_back(program.data());
      std::vector<std::string> copies = arguments;
      for (std::string& argument : copies) argv.push_back(argument.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    outFd = out[0];
    errFd = err[0];
  }

  ~ToolProcess() {
    if (pid > 0 && exitStatus < 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (outFd >= 0) close(outFd);
    if (errFd >= 0) close(errFd);
  }

  // The next line of standard output; false at its end or after the timeout.
  bool readLine(std::string& line) {
    line.clear();
    for (;;) {
      std::size_t newline = buffered.find('\n');
      if (newline != std::string::npos) {
        line = buffered.substr(0, newline);
        buffered.erase(0, newline + 1);
        lines.push_back(line);
        return true;
      }
      pollfd waiting{outFd, POLLIN, 0};
      if (poll(&waiting, 1, kReadTimeoutMilliseconds) <= 0) return false;
      char chunk[256];
      ssize_t got = read(outFd, chunk, sizeof chunk);
      if (got <= 0) return false;
      buffered.append(chunk, static_cast<std::size_t>(got));
    }
  }

  // Reads until a line starts with `prefix`; that line, or "" when none comes.
  std::string readUntil(const std::string& prefix) {
    std::string line;
    while (readLine(line))
      if (line.compare(0, prefix.size(), prefix) == 0) return line;
    return "";
  }

  // Reads the rest of the output and waits for the exit; the exit code, or -1 for a signal or a timeout.
  int finish() {
    std::string line;
    while (readLine(line)) {
    }
    errors = readAll(errFd);
    int status = 0;
    waitpid(pid, &status, 0);
    exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 1000;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  pid_t processId() const { return pid; }
  const std::vector<std::string>& outputLines() const { return lines; }
  const std::string& errorText() const { return errors; }
  std::string output() const {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
  }

 private:
  static std::string readAll(int fd) {
    std::string text;
    char chunk[256];
    pollfd waiting{fd, POLLIN, 0};
    while (poll(&waiting, 1, kReadTimeoutMilliseconds) > 0) {
      ssize_t got = read(fd, chunk, sizeof chunk);
      if (got <= 0) break;
      text.append(chunk, static_cast<std::size_t>(got));
    }
    return text;
  }

  pid_t pid = -1;
  int outFd = -1;
  int errFd = -1;
  int exitStatus = -1;
  std::string buffered;
  std::vector<std::string> lines;
  std::string errors;
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

bool readPng(const std::string& path, Picture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
}

std::string firstPictureDifference(const Picture& expected, const Picture& actual) {
  std::ostringstream text;
  if (expected.width != actual.width || expected.height != actual.height) {
    text << "sizes differ: " << expected.width << "x" << expected.height << " and " << actual.width << "x"
         << actual.height;
    return text.str();
  }
  for (std::size_t i = 0; i < expected.rgb.size(); ++i)
    if (expected.rgb[i] != actual.rgb[i]) {
      std::size_t pixel = i / 3;
      text << "first difference at pixel " << pixel << " (x " << pixel % expected.width << ", y "
           << pixel / expected.width << "), channel " << i % 3 << ": " << int(expected.rgb[i]) << " and "
           << int(actual.rgb[i]);
      return text.str();
    }
  return "";
}

class EditorCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XvfbServer::isInstalled())
      GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb); the X11 tests need it";
    server = std::make_unique<XvfbServer>();
    ASSERT_TRUE(server->running()) << server->failure();
    display = XOpenDisplay(server->displayName().c_str());
    ASSERT_NE(display, nullptr);
    char folderTemplate[] = "/tmp/brume7-editor-command-XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    folder = folderTemplate;
  }

  void TearDown() override {
    if (display) XCloseDisplay(display);
    server.reset();
    if (!folder.empty()) runCommand("rm -rf '" + folder + "'");
  }

  // Starts the editor command and waits until its window shows; the window id, 0 when it did not come.
  ::Window startEditor(ToolProcess& tool) {
    std::string line = tool.readUntil("window ");
    return line.empty() ? 0 : static_cast<::Window>(std::strtoul(line.c_str() + 7, nullptr, 10));
  }

  void closeWindow(::Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
  }

  std::unique_ptr<XvfbServer> server;
  Display* display = nullptr;
  std::string folder;
  const std::string plugin = BRUME7_PLUGIN;
};

TEST_F(EditorCommandTest, DraggingCutoffUpReportsAutomationBetweenBeginAndEnd) {
  SKIP_WITHOUT_XDOTOOL();
  ToolProcess tool({"editor", plugin, "--seconds", "60"}, server->displayName());
  ::Window window = startEditor(tool);
  ASSERT_NE(window, 0u) << "no window line; stderr: " << tool.errorText();
  // Press on the centre of "Cutoff" (475, 174), then 100 pixels up in steps, then release.
  std::string w = std::to_string(window);
  std::string drag = "mousemove --window " + w + " 475 174 mousedown 1 sleep 0.1";
  for (int y = 154; y >= 74; y -= 20) drag += " mousemove --window " + w + " 475 " + std::to_string(y) + " sleep 0.1";
  drag += " mouseup 1 sleep 0.2";
  ASSERT_EQ(runCommand("xdotool " + drag), 0);
  closeWindow(window);
  EXPECT_EQ(tool.finish(), 0) << tool.errorText();
  EXPECT_EQ(tool.errorText(), "");

  const std::vector<std::string>& lines = tool.outputLines();
  std::vector<float> values;
  int begins = 0;
  int ends = 0;
  for (const std::string& line : lines) {
    int index = -1;
    float value = 0;
    if (std::sscanf(line.c_str(), "automate %d %f", &index, &value) == 2) {
      EXPECT_EQ(index, 49) << line;
      EXPECT_EQ(begins, 1) << "automation outside the edit:\n" << tool.output();
      EXPECT_EQ(ends, 0) << "automation outside the edit:\n" << tool.output();
      values.push_back(value);
    } else if (line == "begin 49") {
      ++begins;
    } else if (line == "end 49") {
      ++ends;
    }
  }
  EXPECT_EQ(begins, 1) << tool.output();
  EXPECT_EQ(ends, 1) << tool.output();
  ASSERT_FALSE(values.empty()) << tool.output();
  // The press at the centre points right (5/6 of the sweep); straight up is the middle.
  EXPECT_NEAR(values.front(), 5.0f / 6.0f, 1e-4f) << tool.output();
  EXPECT_NEAR(values.back(), 0.5f, 1e-4f) << tool.output();
}

TEST_F(EditorCommandTest, WheelNotchesAndKeysAfterAClickMoveCutoffAndReachTheHost) {
  SKIP_WITHOUT_XDOTOOL();
  ToolProcess tool({"editor", plugin, "--seconds", "60"}, server->displayName());
  ::Window window = startEditor(tool);
  ASSERT_NE(window, 0u) << "no window line; stderr: " << tool.errorText();
  // Over "Cutoff": one notch up, two down; then a click (the knob points right, 5/6) and two keys.
  std::string input = "mousemove --window " + std::to_string(window) + " 475 174";
  for (const char* step : {"click 4", "click 5", "click 5", "click 1", "key Up", "key shift+Down"})
    input += std::string(" ") + step + " sleep 0.2";
  ASSERT_EQ(runCommand("xdotool " + input), 0);
  closeWindow(window);
  EXPECT_EQ(tool.finish(), 0) << tool.errorText();

  std::vector<float> values;
  for (const std::string& line : tool.outputLines()) {
    int index = -1;
    float value = 0;
    if (std::sscanf(line.c_str(), "automate %d %f", &index, &value) == 2 && index == 49) values.push_back(value);
  }
  ASSERT_EQ(values.size(), 6u) << tool.output();
  // A notch is a step of 0.1, as is an arrow key; shift makes it a tenth.
  EXPECT_NEAR(values[1] - values[0], -0.1f, 1e-4f) << tool.output();
  EXPECT_NEAR(values[2] - values[1], -0.1f, 1e-4f) << tool.output();
  EXPECT_NEAR(values[3], 5.0f / 6.0f, 1e-4f) << tool.output();
  EXPECT_NEAR(values[4], 5.0f / 6.0f + 0.1f, 1e-4f) << tool.output();
  EXPECT_NEAR(values[5], 5.0f / 6.0f + 0.09f, 1e-4f) << tool.output();
}

TEST_F(EditorCommandTest, ScreenshotEqualsTheHeadlessSnapshotOfTheSameValues) {
  std::string help;
  {
    ToolProcess snapshotHelp({"snapshot", "--help"}, server->displayName());
    if (snapshotHelp.finish() != 0) GTEST_SKIP() << "brume7-host has no snapshot command yet";
    help = snapshotHelp.output();
  }
  std::vector<std::string> values;
  if (help.find("--set") != std::string::npos) values = {"--set", "Cutoff=0.3", "--set", "Pan=0.2"};

  // The snapshot makes the instrument inside the tool; the editor command loads the plug-in built from it.
  std::vector<std::string> snapshotArguments{"snapshot", "--out", folder + "/headless.png"};
  snapshotArguments.insert(snapshotArguments.end(), values.begin(), values.end());
  ToolProcess snapshot(snapshotArguments, server->displayName());
  ASSERT_EQ(snapshot.finish(), 0) << snapshot.errorText();

  std::vector<std::string> editorArguments{"editor", plugin, "--seconds", "1", "--screenshot", folder + "/x11.png"};
  editorArguments.insert(editorArguments.end(), values.begin(), values.end());
  ToolProcess editor(editorArguments, server->displayName());
  ASSERT_EQ(editor.finish(), 0) << editor.errorText();

  Picture headless;
  Picture shown;
  ASSERT_TRUE(readPng(folder + "/headless.png", headless));
  ASSERT_TRUE(readPng(folder + "/x11.png", shown));
  EXPECT_EQ(shown.width, 650);
  EXPECT_EQ(shown.height, 200);
  EXPECT_EQ(firstPictureDifference(headless, shown), "");
}

#ifdef BRUME7_PRESETS_DIR
TEST_F(EditorCommandTest, ShowsAProgramOfALoadedBankAsItsProgramFileAndRefusesABadFileInOneLine) {
  const std::string leads = std::string(BRUME7_PRESETS_DIR) + "/leads.fxb";
  {
    ToolProcess save({"preset", "save", "-p", plugin, "--bank", leads, "--program", "3", "-o", folder + "/three.fxp"},
                     server->displayName());
    ASSERT_EQ(save.finish(), 0) << save.errorText();
  }
  const std::vector<std::vector<std::string>> setups = {
      {"--bank", leads, "--program", "3"}, {"--preset", folder + "/three.fxp"}, {}};
  std::vector<Picture> shown(setups.size());
  for (std::size_t i = 0; i < setups.size(); ++i) {
    const std::string path = folder + "/shown" + std::to_string(i) + ".png";
    std::vector<std::string> arguments{"editor", plugin, "--seconds", "0.6", "--screenshot", path};
    arguments.insert(arguments.end(), setups[i].begin(), setups[i].end());
    ToolProcess editor(arguments, server->displayName());
    ASSERT_EQ(editor.finish(), 0) << editor.errorText();
    ASSERT_TRUE(readPng(path, shown[i])) << editor.output();
  }
  EXPECT_EQ(firstPictureDifference(shown[0], shown[1]), "");
  EXPECT_NE(firstPictureDifference(shown[0], shown[2]), "") << "program 3 shows the default values";

  // Refused before the window opens.
  ToolProcess refused({"editor", plugin, "--bank", folder + "/three.fxp"}, server->displayName());
  EXPECT_EQ(refused.finish(), 1);
  EXPECT_EQ(refused.output(), "");
  EXPECT_EQ(refused.errorText(), "brume7-host editor: --bank '" + folder +
                                     "/three.fxp': one program (.fxp); --bank takes a bank, --preset one program\n");
}
#endif

TEST_F(EditorCommandTest, AShortRunStillWritesTheScreenshotAtTheEnd) {
  ToolProcess tool({"editor", plugin, "--seconds", "0.1", "--screenshot", folder + "/short.png"},
                   server->displayName());
  ASSERT_EQ(tool.finish(), 0) << tool.errorText();
  Picture shown;
  ASSERT_TRUE(readPng(folder + "/short.png", shown)) << tool.output();
  EXPECT_EQ(shown.width, 650);
  EXPECT_EQ(shown.height, 200);
  EXPECT_EQ(tool.outputLines().back(), "screenshot " + folder + "/short.png");
}

TEST_F(EditorCommandTest, SigtermClosesTheEditorAndThePlugin) {
  ToolProcess tool({"editor", plugin}, server->displayName());
  ASSERT_NE(startEditor(tool), 0u) << tool.errorText();
  kill(tool.processId(), SIGTERM);
  EXPECT_EQ(tool.finish(), 0) << tool.errorText();
  EXPECT_EQ(tool.errorText(), "");
}

TEST_F(EditorCommandTest, AHostWindowDestroyedFromOutsideEndsTheCommand) {
  ToolProcess tool({"editor", plugin, "--seconds", "60"}, server->displayName());
  ::Window window = startEditor(tool);
  ASSERT_NE(window, 0u) << tool.errorText();
  XDestroyWindow(display, window);
  XSync(display, False);
  EXPECT_EQ(tool.finish(), 0) << tool.errorText();
  EXPECT_EQ(tool.errorText(), "");
}

TEST_F(EditorCommandTest, WithoutADisplayItSaysSoOnOneLine) {
  ToolProcess tool({"editor", plugin}, "");
  EXPECT_EQ(tool.finish(), 1);
  EXPECT_EQ(tool.errorText(),
            "brume7-host editor: no X display: DISPLAY is not set (the editor needs an X server; try xvfb-run)\n");
}

TEST_F(EditorCommandTest, AnUnreachableDisplayIsNamedInTheError) {
  ToolProcess tool({"editor", plugin}, ":4999");
  EXPECT_EQ(tool.finish(), 1);
  EXPECT_EQ(tool.errorText(), "brume7-host editor: cannot open X display ':4999'\n");
}

#ifdef BRUME7_PLUGIN_WITHOUT_EDITOR
TEST_F(EditorCommandTest, APluginWithoutAnEditorIsRefused) {
  const std::string probe = BRUME7_PLUGIN_WITHOUT_EDITOR;
  ToolProcess tool({"editor", probe}, server->displayName());
  EXPECT_EQ(tool.finish(), 1);
  EXPECT_EQ(tool.errorText(), "brume7-host editor: plug-in '" + probe + "' has no editor (flag 0x001 is clear)\n");
}
#endif

TEST_F(EditorCommandTest, HelpSaysThatNoAudioIsRendered) {
  ToolProcess tool({"editor", "--help"}, server->displayName());
  EXPECT_EQ(tool.finish(), 0);
  EXPECT_NE(tool.output().find("No audio is rendered here: 'brume7-host play --editor'"), std::string::npos)
      << tool.output();
}

}  // namespace
}  // namespace brume::testing
