// Feeds any bytes to the VST 2 preset file reader. A malformed file must be
// refused with a reason, never end in a crash, an overflow or an unbounded
// allocation. What it accepts must write back to a file that reads as the
// same preset (kind, layout, version, ids, counts, current program, names,
// bit-exact values, chunk) and that writes again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/HostRecords.h"
#include "host/PresetFile.h"

namespace {

using namespace brume;

bool sameValues(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0);
}

bool samePreset(const PresetFile& a, const PresetFile& b) {
  if (a.kind != b.kind || a.layout != b.layout || a.formatVersion != b.formatVersion || a.pluginId != b.pluginId ||
      a.pluginVersion != b.pluginVersion || a.count != b.count || a.currentProgram != b.currentProgram ||
      a.chunk != b.chunk || a.programs.size() != b.programs.size())
    return false;
  for (std::size_t p = 0; p < a.programs.size(); ++p)
    if (a.programs[p].name != b.programs[p].name || !sameValues(a.programs[p].values, b.programs[p].values))
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  PresetFile file;
  std::string error;
  if (!readPresetFile(bytes, size, file, error)) {
    if (error.empty()) std::abort();  // every refusal says why
    return 0;
  }
  (void)presetMismatch(file, fourCharacterCode('B', 'R', 'M', '7'), 54, 16, false, false);
  const std::vector<std::uint8_t> written = writePresetFile(file);
  PresetFile again;
  if (!readPresetFile(written.data(), written.size(), again, error)) std::abort();
  if (!samePreset(file, again)) std::abort();
  if (writePresetFile(again) != written) std::abort();
  return 0;
}
