#pragma once
// Parameter values written as the instrument shows them: "Sin124", "+7",
// "30% Left", "C3", "2.00". A term becomes the value whose display text is
// exactly the term, found through the instrument's own display rules.

#include <cstdint>
#include <string>

#include "engine/ParameterValues.h"

namespace brume::sounds {

// The text the instrument shows for `value` of parameter `index`; range
// controls speak in the units of the target that `current` aims them at.
std::string valueText(std::int32_t index, float value, const ParameterValues& current);

// The value of parameter `index` (0 to 1) whose text is exactly `term`, read
// with the aims in `current`. Among the values that show the term it takes
// the catalogue default, else the number itself for parameters that show
// their value, else an end of the range, else the middle of the run of values
// showing it, so that no rounding at an edge can move the sound. A term
// starting with '=' is a plain number, accepted only where the instrument
// shows no text. False with a one-line reason when nothing shows the term.
// Any thread; not real-time safe.
bool valueFromTerm(std::int32_t index, const std::string& term, const ParameterValues& current, float& value,
                   std::string& reason);

}  // namespace brume::sounds
