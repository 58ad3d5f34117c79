#pragma once
// The instrument's whole state as one versioned, portable record: the 16
// programs (names and values), the current program, and the values the host
// last gave the parameters. Hosts keep it with their projects.
//
// The record is text, one "key arguments" line each. It starts with
// "brume7-state VERSION" and ends with "checksum XXXXXXXX", the FNV-1a hash
// of every byte before that line. Values travel as the eight hexadecimal
// digits of their 32 bits, so they come back exactly, whatever the machine and
// its locale. A later version may add lines of its own keys, which this one
// skips; it never changes the meaning of a key this one reads.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/ParameterValues.h"
#include "instrument/InstrumentProgram.h"

namespace brume {

constexpr std::int32_t kStateVersion = 1;

struct InstrumentState {
  InstrumentProgram programs[kProgramCount];
  std::int32_t currentProgram = 0;
  ParameterValues hostValues;  // what the host last set each parameter to
};

enum class StateReading {
  accepted,
  damaged,       // not a whole record of ours: truncated, altered, malformed
  olderVersion,  // a version before the first this one reads
};

// Any thread but the audio thread: allocates.
std::string encodeInstrumentState(const InstrumentState& state);

// Fills `state` from a whole and valid record only; otherwise leaves it as it
// was and says why. Any thread but the audio thread.
StateReading decodeInstrumentState(const char* text, std::size_t length, InstrumentState& state);

// The record's checksum over `length` bytes. Any thread.
std::uint32_t stateChecksum(const char* text, std::size_t length);

}  // namespace brume
