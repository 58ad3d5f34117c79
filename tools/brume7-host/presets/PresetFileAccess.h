#pragma once
// Preset files (.fxp, .fxb) on disk: read whole and parsed, or written under
// a temporary name and renamed only when complete (audio/PendingFile.h), so
// that a failed or interrupted save leaves nothing behind and an older file
// as it was.

#include <cstddef>
#include <string>

#include "host/PresetFile.h"

namespace brume {

// Larger files are refused unread: a bank of parameter lists is a few
// kilobytes, a plug-in's chunk rarely more than a few megabytes.
constexpr std::size_t kLargestPresetFileBytes = std::size_t{64} << 20;

// Reads and parses the file at `path`. Throws ToolError with one line, which
// begins with `option` (as in "--bank 'x.fxb': the file is truncated") when
// it is not empty. Main thread.
PresetFile readPresetFileAt(const std::string& path, const std::string& option = "");

// Writes `file` to `path`. Throws ToolError. Main thread.
void writePresetFileAt(const std::string& path, const PresetFile& file);

}  // namespace brume
