#pragma once
// What an LV2 host saves projects by, and so what never changes: the plug-in's
// URIs and its ports. Ports 0 to 53 are the parameters in catalogue order;
// new ports only ever go after the last one.

#include <cstdint>
#include <string>

namespace brume::lv2 {

inline constexpr const char* kPluginUri = "urn:pellarine:brume7";
inline constexpr const char* kUiUri = "urn:pellarine:brume7#ui";
// The key of the saved state record.
inline constexpr const char* kStateUri = "urn:pellarine:brume7#state";

inline constexpr std::uint32_t kAudioInputPort = 54;   // symbol "in"
inline constexpr std::uint32_t kLeftOutputPort = 55;   // "out_left"
inline constexpr std::uint32_t kRightOutputPort = 56;  // "out_right"
inline constexpr std::uint32_t kEventInputPort = 57;   // "events": MIDI and time:Position
inline constexpr std::uint32_t kPortCount = 58;

// A parameter's port symbol: its catalogue name in lower case, with each run
// of characters other than letters and digits turned into one "_"
// ("O1-Shape" -> "o1_shape"). Build time and tests.
std::string portSymbol(const char* name);

}  // namespace brume::lv2
