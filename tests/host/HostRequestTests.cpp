#include <gtest/gtest.h>

#include "host/EffectBaseEx.h"
#include "tests/support/RecordingHost.h"

namespace brume {
namespace {

using test::HostCall;
using test::RecordingHost;

class HostedEffect : public EffectBaseEx {
 public:
  explicit HostedEffect(audioMasterCallback callback) : EffectBaseEx(callback, 1, 4) {}
  void process(float**, float**, VstInt32) override {}
  void setParameter(VstInt32 index, float value) override {
    lastIndex = index;
    lastValue = value;
  }
  VstInt32 lastIndex = -1;
  float lastValue = 0.0f;
};

// Every request names the instance's own record and fills the arguments in a fixed way.
TEST(HostRequests, FillTheArgumentsAsTheHostExpects) {
  RecordingHost host;
  HostedEffect e(RecordingHost::callback());
  e.hostBeginEdit(7);
  e.hostEndEdit(8);
  e.hostWantEvents(1);
  e.hostTempoAt(0);
  e.hostResizeWindow(650, 200);
  e.hostSetOutputRate(22050.0f);
  char text[] = "word";
  e.hostCanDo(text);
  e.hostVendorQuery(3, 4, text, 5.0f);
  e.hostOfflineRead(text, 9, true);

  ASSERT_EQ(host.calls.size(), 9u);
  for (const HostCall& call : host.calls) EXPECT_EQ(call.effect, e.record());
  auto expectCall = [&](size_t n, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    const HostCall& call = host.calls[n];
    EXPECT_EQ(call.opcode, opcode) << "call " << n;
    EXPECT_EQ(call.index, index) << "call " << n;
    EXPECT_EQ(call.value, value) << "call " << n;
    EXPECT_EQ(call.ptr, ptr) << "call " << n;
    EXPECT_EQ(call.opt, opt) << "call " << n;
  };
  expectCall(0, 43, 7, 0, nullptr, 0.0f);
  expectCall(1, 44, 8, 0, nullptr, 0.0f);
  expectCall(2, 6, 0, 1, nullptr, 0.0f);
  expectCall(3, 10, 0, 0, nullptr, 0.0f);
  expectCall(4, 15, 650, 200, nullptr, 0.0f);
  expectCall(5, 30, 0, 0, nullptr, 22050.0f);
  expectCall(6, 37, 0, 0, text, 0.0f);
  expectCall(7, 35, 3, 4, text, 5.0f);
  expectCall(8, 26, 1, 9, text, 0.0f);
}

TEST(HostRequests, ConvertTheAnswers) {
  RecordingHost host;
  HostedEffect e(RecordingHost::callback());
  host.answer(kHostVersion, 0);
  EXPECT_EQ(e.hostVersion(), 1) << "a host that answers 0 still counts as version 1";
  host.answer(kHostVersion, 2400);
  EXPECT_EQ(e.hostVersion(), 2400);
  host.answer(4, 1);
  EXPECT_FALSE(e.isInputConnected(0));
  host.answer(4, 0);
  EXPECT_TRUE(e.isOutputConnected(1));
  EXPECT_EQ(host.calls.back().value, 1) << "outputs are asked with value 1";
  host.answer(43, 5);
  EXPECT_TRUE(e.hostBeginEdit(1));
  host.answer(kHostTempoAt, 1200000);
  EXPECT_EQ(e.hostTempoAt(0), 1200000);
}

TEST(HostRequests, FileSelectorWithoutSelectorDoesNotCallTheHost) {
  RecordingHost host;
  host.answer(45, 1);
  HostedEffect e(RecordingHost::callback());
  EXPECT_FALSE(e.hostOpenFileSelector(nullptr));
  EXPECT_TRUE(host.calls.empty());
  int selector = 0;
  EXPECT_TRUE(e.hostOpenFileSelector(&selector));
}

TEST(HostRequests, SampleRateRequestReportsTheMemberAfterTheHostAnswered) {
  RecordingHost host;
  HostedEffect e(RecordingHost::callback());
  host.answer(16, 12345);
  host.onCall([&](const HostCall& call) {
    if (call.opcode == 16) e.dispatcher(10, 0, 0, nullptr, 48000.0f);
  });
  EXPECT_EQ(e.hostSampleRate(), 48000.0f);
}

TEST(HostRequests, SetParameterAndNotifySetsThenAutomates) {
  RecordingHost host;
  HostedEffect e(RecordingHost::callback());
  e.setParameterAndNotify(3, 0.25f);
  EXPECT_EQ(e.lastIndex, 3);
  ASSERT_EQ(host.count(kHostAutomate), 1);
  EXPECT_EQ(host.calls[0].index, 3);
  EXPECT_EQ(host.calls[0].opt, 0.25f);
}

TEST(HostRequests, WithoutCallbackEveryRequestAnswersQuietly) {
  HostedEffect e(nullptr);
  EXPECT_EQ(e.hostVersion(), 1);
  EXPECT_EQ(e.hostCurrentId(), 0);
  EXPECT_TRUE(e.isInputConnected(0));
  EXPECT_TRUE(e.isOutputConnected(0));
  EXPECT_EQ(e.hostWantEvents(1), 0);
  EXPECT_EQ(e.hostTimeInfo(0), nullptr);
  EXPECT_EQ(e.hostTempoAt(0), 0);
  EXPECT_FALSE(e.hostBeginEdit(1));
  EXPECT_FALSE(e.hostEndEdit(1));
  EXPECT_FALSE(e.hostNeedIdle());
  EXPECT_EQ(e.hostSampleRate(), 44100.0f);
  EXPECT_EQ(e.hostBlockSize(), 1024);
  EXPECT_EQ(e.hostPreviousPlugin(0), nullptr);
  EXPECT_EQ(e.hostDirectory(), nullptr);
  e.hostIdle();
  e.hostSetOutputRate(1.0f);
  e.setParameterAndNotify(2, 0.5f);
  EXPECT_EQ(e.lastIndex, 2);
}

}  // namespace
}  // namespace brume
