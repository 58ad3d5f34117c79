#pragma once
// "NAME=VALUE" and "SECONDS:NAME=VALUE" settings from the command line, and the
// lookup of a parameter by name or index.

#include <string>
#include <vector>

namespace brume {

struct ParameterAssignment {
  std::string parameter;  // a name (any case) or an index
  float value = 0.0f;     // 0..1
};

struct TimedAssignment {
  double seconds = 0.0;
  ParameterAssignment assignment;
};

// Throws UsageError for a missing '=', an empty name, or a value that is not a number in 0..1.
ParameterAssignment parseAssignment(const std::string& text, const std::string& option);
// As above after "SECONDS:", a number of at least 0.
TimedAssignment parseTimedAssignment(const std::string& text, const std::string& option);

// The index of a parameter: a name matched without regard to case (and to
// surrounding spaces), else a whole number in range. -1 when neither matches.
int findParameter(const std::vector<std::string>& names, const std::string& key);
// As findParameter, but throws ToolError naming the key when nothing matches.
int resolveParameter(const std::vector<std::string>& names, const std::string& key);

}  // namespace brume
