#pragma once
// "NAME=VALUE" and "SECONDS:NAME=VALUE" settings from the command line, and the
// lookup of a parameter by name or index.

#include <string>
#include <vector>

namespace brume {

class Plugin;

struct ParameterAssignment {
  std::string parameter;       // a name (any case) or an index
  float value = 0.0f;          // in the parameter's range, which only the plug-in knows
  std::string valueText = {};  // as given, for messages
  std::string option = {};     // "--set", "--set-at"
};

struct TimedAssignment {
  double seconds = 0.0;
  ParameterAssignment assignment;
};

// Throws UsageError for a missing '=', an empty name, or a value that is not a number.
ParameterAssignment parseAssignment(const std::string& text, const std::string& option);
// As above after "SECONDS:", a number of at least 0.
TimedAssignment parseTimedAssignment(const std::string& text, const std::string& option);

// The index of a parameter: a name matched without regard to case (and to
// surrounding spaces), else a whole number in range. -1 when neither matches.
int findParameter(const std::vector<std::string>& names, const std::string& key);
// As findParameter, but throws ToolError naming the key when nothing matches.
int resolveParameter(const std::vector<std::string>& names, const std::string& key);
// Throws UsageError when the setting's value lies outside `range`.
void checkSettingRange(const ParameterAssignment& setting, float minimum, float maximum);
// The plug-in's parameter that `setting` names; throws ToolError when none
// does, UsageError when the value is outside the parameter's range. Main thread.
int resolveSetting(Plugin& plugin, const ParameterAssignment& setting);

// The refusal of a program number the plug-in lacks: "--program 9: the plug-in has 3 programs (0..2)".
std::string programRefusal(const std::string& option, int program, int count);

}  // namespace brume
