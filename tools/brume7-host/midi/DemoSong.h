#pragma once
// The built-in phrase of `render --demo`: chords, a bass line, a melody, a
// final chord with a held note and an arpeggio over it, and a few parameter
// changes, about 12 seconds at 120 BPM (plus the tail).

#include <vector>

#include "tools/brume7-host/midi/MidiSong.h"
#include "tools/brume7-host/commands/ParameterAssignment.h"

namespace brume {

// The phrase at `bpm` beats per minute (a tempo event at tick 0 carries it). Any thread.
MidiSong makeDemoSong(double bpm);

// The phrase's parameter changes ("Cutoff" and "Pan"), timed for `bpm`. A
// plug-in without a parameter of that name simply does not get those changes.
std::vector<TimedAssignment> makeDemoAutomation(double bpm);

}  // namespace brume
