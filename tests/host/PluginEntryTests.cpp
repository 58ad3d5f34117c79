#include <gtest/gtest.h>

#include <cstring>

#include "host/EffectBase.h"
#include "host/PluginEntry.h"
#include "tests/support/RecordingHost.h"

namespace brume {
namespace {

using test::RecordingHost;

int liveEffects = 0;
int madeEffects = 0;

class CountedEffect : public EffectBase {
 public:
  explicit CountedEffect(audioMasterCallback callback) : EffectBase(callback, 2, 3) { ++liveEffects; }
  ~CountedEffect() override { --liveEffects; }
  void process(float**, float**, VstInt32) override {}
  void setParameter(VstInt32 index, float value) override { values[index & 3] = value; }
  float getParameter(VstInt32 index) override { return values[index & 3]; }
  void processReplacing(float**, float** outputs, VstInt32) override { outputs[0][0] = 9.0f; }
  void onClose() override { ++closes; }
  float values[4] = {};
  static int closes;
};
int CountedEffect::closes = 0;

EffectBase* makeCounted(audioMasterCallback callback) {
  ++madeEffects;
  return new CountedEffect(callback);
}

EffectBase* makeNothing(audioMasterCallback) { return nullptr; }

TEST(PluginEntry, HostAnsweringVersionZeroGetsNoInstance) {
  RecordingHost host;
  host.answer(kHostVersion, 0);
  madeEffects = 0;
  EXPECT_EQ(pluginMain(RecordingHost::callback(), makeCounted), nullptr);
  EXPECT_EQ(madeEffects, 0);
  ASSERT_EQ(host.calls.size(), 1u);
  EXPECT_EQ(host.calls[0].effect, nullptr) << "no record exists yet";
  EXPECT_EQ(host.calls[0].opcode, kHostVersion);
}

TEST(PluginEntry, NoCallbackOrFailedAllocationGivesNull) {
  RecordingHost host;
  EXPECT_EQ(pluginMain(nullptr, makeCounted), nullptr);
  EXPECT_EQ(pluginMain(RecordingHost::callback(), makeNothing), nullptr);
}

TEST(PluginEntry, EachCallMakesAnIndependentInstanceAndCloseDestroysIt) {
  RecordingHost host;
  liveEffects = 0;
  CountedEffect::closes = 0;
  AEffect* first = pluginMain(RecordingHost::callback(), makeCounted);
  AEffect* second = pluginMain(RecordingHost::callback(), makeCounted);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_NE(first->object, second->object);
  EXPECT_EQ(liveEffects, 2);

  first->setParameter(first, 1, 0.75f);
  EXPECT_EQ(first->getParameter(first, 1), 0.75f);
  EXPECT_EQ(second->getParameter(second, 1), 0.0f);
  float sample = 0.0f;
  float* outputs[] = {&sample, &sample};
  first->processReplacing(first, nullptr, outputs, 1);
  EXPECT_EQ(sample, 9.0f) << "the replacing entry reaches the instance's own override";

  EXPECT_EQ(first->dispatcher(first, 1, 0, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(CountedEffect::closes, 1);
  EXPECT_EQ(liveEffects, 1);
  EXPECT_EQ(second->dispatcher(second, 1, 0, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(liveEffects, 0);
}

TEST(EffectRecord, BaseValuesAndZeroedRest) {
  RecordingHost host;
  CountedEffect e(RecordingHost::callback());
  const AEffect* r = e.record();
  EXPECT_EQ(r->magic, 0x56737450);
  EXPECT_EQ(r->numPrograms, 2);
  EXPECT_EQ(r->numParams, 3);
  EXPECT_EQ(r->numInputs, 1);
  EXPECT_EQ(r->numOutputs, 2);
  EXPECT_EQ(r->flags, 0);
  EXPECT_EQ(r->resvd1, 0);
  EXPECT_EQ(r->resvd2, 0);
  EXPECT_EQ(r->initialDelay, 0);
  EXPECT_EQ(r->ioRatio, 1.0f);
  EXPECT_EQ(r->object, &e);
  EXPECT_EQ(r->user, nullptr);
  EXPECT_EQ(r->uniqueID, 0x4E6F4566);
  EXPECT_EQ(r->version, 1);
  EXPECT_EQ(r->futurePointer, 0);
  const char zeros[sizeof r->future] = {};
  EXPECT_EQ(std::memcmp(r->future, zeros, sizeof zeros), 0);
}

}  // namespace
}  // namespace brume
