#pragma once
// The text of `brume7-host preset list`: what a preset file holds.

#include <string>

#include "host/PresetFile.h"

namespace brume {

// Kind and layout, plug-in id and version, counts, a bank's current program
// and the program names; with `values`, each parameter-list program's values
// too (a program file shows them always). Any thread.
std::string describePresetFile(const std::string& path, const PresetFile& file, bool values);

}  // namespace brume
