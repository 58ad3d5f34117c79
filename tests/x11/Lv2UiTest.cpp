// Brume7.lv2's UI as an LV2 host embeds it: the editor in the host's X window,
// idled by the host, opened and closed fifty times while the DSP instance
// plays on another thread (every block sounds), a knob the user drags
// reaching the host as port writes framed by touches, and a change of the
// host's control coming back to the knob.
#include <dlfcn.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/ParameterIndex.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/x11/X11TestSupport.h"
#include "BuildPaths.h"

namespace brume::testing {
namespace {

constexpr std::uint32_t kBlock = 256;
constexpr int kCycles = 50;

// What the UI sent the host, on the UI thread.
struct HostSide {
  std::mutex lock;
  std::vector<std::pair<std::uint32_t, float>> writes;
  std::vector<std::pair<std::uint32_t, bool>> touches;
  int width = 0;
  int height = 0;

  static void write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
                    const void* buffer) {
    auto* self = static_cast<HostSide*>(controller);
    if (size != sizeof(float) || protocol != 0) return;
    const std::lock_guard<std::mutex> guard(self->lock);
    self->writes.emplace_back(port, *static_cast<const float*>(buffer));
  }
  static void touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed) {
    auto* self = static_cast<HostSide*>(handle);
    const std::lock_guard<std::mutex> guard(self->lock);
    self->touches.emplace_back(port, grabbed);
  }
  static int resize(LV2UI_Feature_Handle handle, int width, int height) {
    auto* self = static_cast<HostSide*>(handle);
    self->width = width;
    self->height = height;
    return 0;
  }
};

// The DSP instance on an audio thread of its own, a note held from the first block;
// the host's control changes reach its ports between blocks.
class Player {
 public:
  explicit Player(test::Lv2TestInstance& instance) : instance(instance) {
    thread = std::thread([this] { play(); });
  }
  ~Player() {
    stopping = true;
    thread.join();
  }
  int blocks() const { return rendered.load(); }
  int silentBlocks() const { return silent.load(); }
  void setControl(std::int32_t index, float value) {
    pendingValue = value;
    pendingIndex = index;
  }

 private:
  void play() {
    instance.addMidi(0, 0x90, 57, 100);
    while (!stopping) {
      const int index = pendingIndex.exchange(-1);
      if (index >= 0) instance.control(index) = pendingValue.load();
      instance.run(kBlock);
      const float loudest = std::fabs(*std::max_element(instance.left().begin(), instance.left().begin() + kBlock,
                                                        [](float a, float b) { return std::fabs(a) < std::fabs(b); }));
      if (loudest == 0.0f) ++silent;
      ++rendered;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));  // about a block's time at 48 kHz
    }
  }

  test::Lv2TestInstance& instance;
  std::thread thread;
  std::atomic<bool> stopping{false};
  std::atomic<int> rendered{0};
  std::atomic<int> silent{0};
  std::atomic<int> pendingIndex{-1};
  std::atomic<float> pendingValue{0.0f};
};

class Lv2UiTest : public X11Fixture {
 protected:
  void SetUp() override {
    X11Fixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_NE(bundle.plugin(), nullptr);
    instance = std::make_unique<test::Lv2TestInstance>(bundle, urids);
    ASSERT_TRUE(instance->valid());
    // The binary the host has loaded already: its UI descriptor.
    module = dlopen((std::string(BRUME7_LV2_BUNDLE) + "/brume7-lv2.so").c_str(), RTLD_NOW);
    ASSERT_NE(module, nullptr) << dlerror();
    const auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(std::uint32_t)>(dlsym(module, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor = entry(0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_STREQ(descriptor->URI, "urn:pellarine:brume7#ui");
    idleInterface = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idleInterface, nullptr);
    hostWindow = makeTopLevel(0, 0, 650, 200);
  }

  void TearDown() override {
    instance.reset();
    if (module) dlclose(module);
    X11Fixture::TearDown();
  }

  // The UI as a host makes it; null when the UI refuses.
  LV2UI_Handle openUi(LV2UI_Widget& widget) {
    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(hostWindow)};
    const LV2_Feature accessFeature{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(instance->lilvInstance())};
    const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    const LV2_Feature touchFeature{LV2_UI__touch, &touch};
    const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    const LV2_Feature mapFeature{LV2_URID__map, urids.mapFeature()};
    const LV2_Feature* features[] = {&parentFeature, &accessFeature, &idleFeature, &touchFeature,
                                     &resizeFeature, &mapFeature,    nullptr};
    widget = nullptr;
    return descriptor->instantiate(descriptor, "urn:pellarine:brume7", BRUME7_LV2_BUNDLE, HostSide::write, &host,
                                   &widget, features);
  }

  // Idles the UI as a host does until `done`; false after 5 seconds without it.
  bool idleUiUntil(LV2UI_Handle ui, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      idleInterface->idle(ui);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  bool isChildOfHostWindow(LV2UI_Widget widget) {
    ::Window root = 0;
    ::Window parentOfWidget = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, reinterpret_cast<::Window>(widget), &root, &parentOfWidget, &children, &count))
      return false;
    if (children) XFree(children);
    return parentOfWidget == hostWindow;
  }

  UridMap urids;
  test::Lv2Bundle bundle{BRUME7_LV2_BUNDLE};
  std::unique_ptr<test::Lv2TestInstance> instance;
  void* module = nullptr;
  const LV2UI_Descriptor* descriptor = nullptr;
  const LV2UI_Idle_Interface* idleInterface = nullptr;
  ::Window hostWindow = 0;
  HostSide host;
  // Features the UI may keep for its lifetime.
  LV2UI_Touch touch{&host, HostSide::touch};
  LV2UI_Resize resize{&host, HostSide::resize};
};

TEST_F(Lv2UiTest, OpensAndClosesFiftyTimesWhileTheSoundGoesOn) {
  Player player(*instance);
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle ui = openUi(widget);
    ASSERT_NE(ui, nullptr) << "cycle " << cycle;
    ASSERT_TRUE(isChildOfHostWindow(widget)) << "cycle " << cycle;
    // A second UI of the same instance is refused: the instrument has one editor.
    LV2UI_Widget second = nullptr;
    EXPECT_EQ(openUi(second), nullptr);
    // The host idles the open UI while the instance plays on.
    const int blocksAtOpen = player.blocks();
    ASSERT_TRUE(idleUiUntil(ui, [&] { return player.blocks() >= blocksAtOpen + 2; })) << "the sound stopped";
    descriptor->cleanup(ui);
  }
  EXPECT_EQ(host.width, 650);
  EXPECT_EQ(host.height, 200);
  EXPECT_GT(player.blocks(), kCycles);
  EXPECT_EQ(player.silentBlocks(), 0);
}

TEST_F(Lv2UiTest, AKnobDraggedReachesTheHostAndTheHostsChangesReachTheKnob) {
  SKIP_WITHOUT_XDOTOOL();
  Player player(*instance);
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = openUi(widget);
  ASSERT_NE(ui, nullptr);
  const auto window = reinterpret_cast<::Window>(widget);
  ASSERT_TRUE(idleUiUntil(ui, [&] { return player.blocks() > 10; }));

  // "Cutoff" sits at (475, 174): pressed, then dragged straight up.
  const std::string w = std::to_string(window);
  std::string drag = "xdotool mousemove --window " + w + " 475 174 mousedown 1 sleep 0.1";
  for (int y = 164; y >= 114; y -= 10) drag += " mousemove --window " + w + " 475 " + std::to_string(y) + " sleep 0.1";
  drag += " mouseup 1";
  BackgroundCommand dragging(drag);
  ASSERT_TRUE(idleUiUntil(ui, [&] { return dragging.finished(); }));
  EXPECT_EQ(dragging.status(), 0);
  {
    const std::lock_guard<std::mutex> guard(host.lock);
    ASSERT_FALSE(host.writes.empty()) << "no port write";
    for (const auto& [port, value] : host.writes) EXPECT_EQ(port, static_cast<std::uint32_t>(kCutoff));
    // The press at the knob's centre points it right (5/6 of its sweep); straight up is the middle.
    EXPECT_NEAR(host.writes.front().second, 5.0f / 6.0f, 1e-4f);
    EXPECT_NEAR(host.writes.back().second, 0.5f, 1e-4f);
    const std::vector<std::pair<std::uint32_t, bool>> framed = {{kCutoff, true}, {kCutoff, false}};
    EXPECT_EQ(host.touches, framed);
  }

  // The host moves "Cutoff" back to 0: the knob follows within the editor's refresh time.
  const raster::Canvas before = screenPixels(window);
  player.setControl(kCutoff, 0.0f);
  EXPECT_TRUE(idleUiUntil(ui, [&] { return firstDifference(before, screenPixels(window)) != ""; }))
      << "the knob did not follow the host";
  descriptor->cleanup(ui);
  EXPECT_EQ(player.silentBlocks(), 0);
}

}  // namespace
}  // namespace brume::testing
