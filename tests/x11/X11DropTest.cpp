// Drag and drop onto the X11 editor window: a test XDND source drags text of
// each type, a file list and types the editor refuses, and checks the status
// answers, what the view under the pointer receives and the end of the drop.
// Also the parsing of dropped URI lists.

#include <unistd.h>

#include <cctype>

#include "X11TestSupport.h"
#include "XdndSource.h"
#include "gui/native/x11/X11Drop.h"

namespace brume::testing {
namespace {

class DropView : public RecordingView {
 public:
  using RecordingView::RecordingView;
  bool acceptDrop(const char* const* data, std::int32_t count, std::int32_t dropType, Point where) override {
    ++drops;
    type = dropType;
    size = count;
    point = where;
    entries.clear();
    if (dropType == 1) entries.emplace_back(data[0]);
    for (std::int32_t i = 0; dropType == 0 && i < count; ++i) entries.emplace_back(data[i]);
    return takes;
  }
  bool takes = true;
  int drops = 0;
  std::int32_t type = -1;
  std::int32_t size = 0;
  Point point;
  std::vector<std::string> entries;
};

class X11Drop : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    openEditor(200, 120, [this](Frame& frame) {
      below = new DropView(Rect{0, 0, 199, 119});
      view = new DropView(Rect{100, 20, 150, 70});
      frame.addView(below);
      frame.addView(view);
    });
    ASSERT_TRUE(idleUntilPainted());
    source = std::make_unique<XdndSource>(display, [this] { editor->idle(); });
  }
  void TearDown() override {
    source.reset();
    X11Fixture::TearDown();
  }
  // Enters the editor's window at (120, 40) of the parent, which sits at the root's origin.
  ::Window enterEditor(const std::vector<std::string>& types, const std::string& data) {
    ::Window target = source->findTarget(120, 40);
    source->enter(target, types, data);
    return target;
  }

  DropView* below = nullptr;
  DropView* view = nullptr;
  std::unique_ptr<XdndSource> source;
};

TEST_F(X11Drop, TheTargetIsTheEditorsOwnWindowInsideTheHosts) {
  EXPECT_EQ(source->findTarget(120, 40), frameWindowId());
  EXPECT_EQ(source->findTarget(300, 200), 0u) << "the host window itself is not aware";
}

struct TextCase {
  const char* type;
  std::string sent;
  std::string received;
};

void PrintTo(const TextCase& text, std::ostream* out) { *out << text.type; }

class X11TextDrop : public X11Drop, public ::testing::WithParamInterface<TextCase> {};

TEST_P(X11TextDrop, AnswersMoveOrCopyByTheControlKeyAndHandsTheTextToTheViewUnderThePointer) {
  SKIP_WITHOUT_XDOTOOL();
  const TextCase& text = GetParam();
  ASSERT_EQ(enterEditor({text.type}, text.sent), frameWindowId());
  XdndStatus status;
  ASSERT_TRUE(source->position(120, 40, status));
  EXPECT_TRUE(status.accepts);
  EXPECT_EQ(status.action, "XdndActionMove");
  ASSERT_EQ(runCommand(xdotool("keydown ctrl")), 0);
  ASSERT_TRUE(source->position(125, 45, status));
  ASSERT_EQ(runCommand(xdotool("keyup ctrl")), 0);
  EXPECT_TRUE(status.accepts);
  EXPECT_EQ(status.action, "XdndActionCopy");
  XdndFinished finished;
  ASSERT_TRUE(source->drop(finished)) << "the source was left waiting";
  EXPECT_TRUE(finished.accepted);
  EXPECT_EQ(finished.action, "XdndActionCopy");
  EXPECT_EQ(source->requestedTypes(), std::vector<std::string>{text.type});
  ASSERT_EQ(view->drops, 1);
  EXPECT_EQ(below->drops, 0);
  EXPECT_EQ(view->type, 1);
  ASSERT_EQ(view->entries.size(), 1u);
  EXPECT_EQ(view->entries[0], text.received);
  EXPECT_EQ(view->size, static_cast<std::int32_t>(text.received.size() + 1)) << "the block holds the text and its zero";
  EXPECT_EQ(view->point, (Point{125, 45}));
}

INSTANTIATE_TEST_SUITE_P(
    EveryTextType, X11TextDrop,
    ::testing::Values(TextCase{"text/plain;charset=utf-8", "caf\xc3\xa9 au lait", "caf\xc3\xa9 au lait"},
                      TextCase{"UTF8_STRING", "n\xc3\xa9", "n\xc3\xa9"}, TextCase{"text/plain", "plain", "plain"},
                      TextCase{"STRING", "caf\xe9", "caf\xc3\xa9"}),
    [](const ::testing::TestParamInfo<TextCase>& info) {
      std::string name;
      for (const char* c = info.param.type; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
      return name;
    });

TEST_F(X11Drop, AFileListArrivesAsLocalPathsWithEscapesUndone) {
  ::Window target = enterEditor({"text/plain", "text/uri-list"},
                                "# dragged\r\n"
                                "file:///tmp/My%20Patch%2350.fxp\r\n"
                                "https://example.org/remote.fxp\r\n"
                                "file://localhost/tmp/b.wav\r\n");
  ASSERT_EQ(target, frameWindowId());
  XdndStatus status;
  ASSERT_TRUE(source->position(110, 30, status));
  EXPECT_TRUE(status.accepts);
  EXPECT_EQ(status.action, "XdndActionMove");
  XdndFinished finished;
  ASSERT_TRUE(source->drop(finished));
  EXPECT_TRUE(finished.accepted);
  EXPECT_EQ(finished.action, "XdndActionMove");
  EXPECT_EQ(source->requestedTypes(), std::vector<std::string>{"text/uri-list"}) << "files win over their text";
  ASSERT_EQ(view->drops, 1);
  EXPECT_EQ(view->type, 0);
  EXPECT_EQ(view->size, 2);
  EXPECT_EQ(view->entries, (std::vector<std::string>{"/tmp/My Patch#50.fxp", "/tmp/b.wav"}));
}

TEST_F(X11Drop, TypesOfferedThroughTheTypeListAreSeen) {
  enterEditor({"image/png", "application/x-brume", "text/html", "UTF8_STRING"}, "four");
  XdndStatus status;
  ASSERT_TRUE(source->position(120, 40, status));
  EXPECT_TRUE(status.accepts);
  XdndFinished finished;
  ASSERT_TRUE(source->drop(finished));
  EXPECT_EQ(source->requestedTypes(), std::vector<std::string>{"UTF8_STRING"});
  ASSERT_EQ(view->entries.size(), 1u);
  EXPECT_EQ(view->entries[0], "four");
}

TEST_F(X11Drop, AnUnsupportedTypeIsRefusedAndItsDropEndsAtOnce) {
  enterEditor({"image/png"}, "\x89PNG");
  XdndStatus status;
  ASSERT_TRUE(source->position(120, 40, status));
  EXPECT_FALSE(status.accepts);
  EXPECT_EQ(status.action, "");
  XdndFinished finished;
  ASSERT_TRUE(source->drop(finished)) << "the source was left waiting";
  EXPECT_FALSE(finished.accepted);
  EXPECT_TRUE(source->requestedTypes().empty());
  EXPECT_EQ(view->drops + below->drops, 0);
}

TEST_F(X11Drop, ADropNoViewTakesTellsTheSourceNothingWasDone) {
  // Neither view takes it, and only files that are not local are offered once.
  view->takes = false;
  below->takes = false;
  enterEditor({"text/plain"}, "ignored");
  XdndStatus status;
  ASSERT_TRUE(source->position(120, 40, status));
  XdndFinished finished;
  ASSERT_TRUE(source->drop(finished));
  EXPECT_FALSE(finished.accepted) << "a move would make the source delete what nobody took";
  EXPECT_EQ(finished.action, "");
  EXPECT_EQ(view->drops, 1);
  EXPECT_EQ(below->drops, 1);

  enterEditor({"text/uri-list"}, "http://example.org/a\r\n");
  ASSERT_TRUE(source->position(120, 40, status));
  ASSERT_TRUE(source->drop(finished));
  EXPECT_FALSE(finished.accepted);
  EXPECT_EQ(view->drops, 1) << "an empty file list is offered to nobody";
}

TEST_F(X11Drop, ADragThatLeavesDropsNothing) {
  enterEditor({"text/plain"}, "left");
  XdndStatus status;
  ASSERT_TRUE(source->position(120, 40, status));
  source->leave();
  for (int i = 0; i < 10; ++i) editor->idle();
  XdndFinished finished;
  EXPECT_FALSE(source->drop(finished)) << "a drop after the leave belongs to no drag";
  EXPECT_EQ(view->drops, 0);
}

std::string hostNameHere() {
  char name[256] = "";
  gethostname(name, sizeof name - 1);
  return name;
}

TEST(X11UriList, KeepsLocalFilesOnly) {
  const std::string host = hostNameHere();
  std::string longName(1100, 'n');
  std::string list =
      "file:///a%2Fb%20c\n"         // an escaped slash is a slash
      "  file:/single/slash  \r\n"  // the short form, spaces around
      "FILE:///upper/scheme\r\n"
      "file://" +
      host +
      "/own/host\r\n"
      "file://elsewhere/x\r\n"      // another machine
      "file:///bad%zzescape%4\r\n"  // malformed escapes stay as written
      "file:///zero%00name\r\n"     // no path holds a zero
      "ftp:///not/a/file\r\n"
      "#file:///a/comment\r\n"
      "file://noslash\r\n"
      "file:///" +
      longName + "\r\n";
  std::vector<std::string> paths = x11::localPathsOfUriList(list, host);
  ASSERT_EQ(paths.size(), 6u);
  EXPECT_EQ(paths[0], "/a/b c");
  EXPECT_EQ(paths[1], "/single/slash");
  EXPECT_EQ(paths[2], "/upper/scheme");
  EXPECT_EQ(paths[3], "/own/host");
  EXPECT_EQ(paths[4], "/bad%zzescape%4");
  EXPECT_EQ(paths[5].size(), x11::kMaximumDropPathLength);
  EXPECT_EQ(paths[5], ("/" + longName).substr(0, x11::kMaximumDropPathLength));
}

}  // namespace
}  // namespace brume::testing
