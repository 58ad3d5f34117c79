// The bundle's presets are the sound library's banks: each preset holds the
// values of the program of the same name in the bank's .fxb, bit for bit, so
// applying it in an LV2 host sets what selecting the program does in VST 2.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "host/PresetFile.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tools/lv2-bundle/TurtleFiles.h"
#include "BuildPaths.h"
#include "tests/support/FloatBits.h"

namespace brume::test {
namespace {

struct PortValues {
  const LilvPlugin* plugin;
  LilvWorld* world;
  LV2_URID floatType;
  std::map<std::int32_t, float> byIndex;
};

void collect(const char* symbol, void* user, const void* value, std::uint32_t size, std::uint32_t type) {
  auto& values = *static_cast<PortValues*>(user);
  if (type != values.floatType || size != sizeof(float)) return;
  LilvNode* name = lilv_new_string(values.world, symbol);
  if (const LilvPort* port = lilv_plugin_get_port_by_symbol(values.plugin, name))
    values.byIndex[static_cast<std::int32_t>(lilv_port_get_index(values.plugin, port))] =
        *static_cast<const float*>(value);
  lilv_node_free(name);
}

TEST(Lv2LibraryPresets, HoldTheValuesOfTheBanksPrograms) {
  Lv2Bundle bundle(BRUME7_LV2_BUNDLE);
  ASSERT_NE(bundle.plugin(), nullptr);
  UridMap urids;
  int presets = 0;
  for (const auto& entry : std::filesystem::directory_iterator(BRUME7_PRESETS_DIR)) {
    if (entry.path().extension() != ".fxb") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PresetFile bank;
    std::string error;
    ASSERT_TRUE(readPresetFile(bytes.data(), bytes.size(), bank, error)) << entry.path() << ": " << error;
    const std::string bankName = entry.path().stem().string();
    for (const PresetProgram& program : bank.programs) {
      if (program.name == "Basic") continue;  // the slots a short bank leaves
      const std::string uri = "urn:pellarine:brume7:preset:" + bankName + ":" + lv2::uriSlug(program.name);
      LilvNode* node = lilv_new_uri(bundle.world(), uri.c_str());
      lilv_world_load_resource(bundle.world(), node);  // as hosts do before applying a preset
      LilvState* state = lilv_state_new_from_world(bundle.world(), urids.mapFeature(), node);
      lilv_node_free(node);
      ASSERT_NE(state, nullptr) << "no preset " << uri;
      PortValues values{bundle.plugin(), bundle.world(), urids.map(LV2_ATOM__Float), {}};
      lilv_state_emit_port_values(state, collect, &values);
      EXPECT_STREQ(lilv_state_get_label(state), program.name.c_str());
      lilv_state_free(state);
      ASSERT_EQ(values.byIndex.size(), static_cast<std::size_t>(kParameterCount)) << uri;
      for (std::int32_t i = 0; i < kParameterCount; ++i)
        ASSERT_EQ(bitsOf(values.byIndex[i]), bitsOf(program.values[static_cast<std::size_t>(i)]))
            << uri << " port " << i;
      ++presets;
    }
  }
  EXPECT_GE(presets, 64);
}

}  // namespace
}  // namespace brume::test
