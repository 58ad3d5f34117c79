#pragma once
// A preset file dropped onto the editor: a '.fxp' loads into the current
// program (its values and its name), a '.fxb' replaces all 16 programs and the
// current one sounds at once. Each value of the current program that changes
// goes through setParameterFromEditor, framed as an edit, so the host records
// it as it records the knobs; the host is then asked to update its display of
// the program names. Anything that is not a parameter-list file of this
// instrument with its counts and values from 0 to 1 is refused whole, before
// anything changes.

#include <cstddef>
#include <cstdint>

#include "engine/ParameterIndex.h"
#include "instrument/InstrumentProgram.h"

namespace brume {

class Instrument;

// A bank of 16 programs of 54 values, the largest file that can fit: longer files are not read.
constexpr std::size_t kLargestPresetFile = 156 + kProgramCount * (56 + 4 * kParameterCount);

// UI thread; not real-time safe (reads the file, allocates). The audio thread
// may render meanwhile. True when the file was loaded.
bool loadPresetFile(Instrument& instrument, const char* path);

// The same for a file's bytes.
bool loadPresetBytes(Instrument& instrument, const std::uint8_t* data, std::size_t size);

}  // namespace brume
