#include "tools/brume7-host/commands/ParameterAssignment.h"

#include <cctype>
#include <cstdlib>

#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/plugins/Plugin.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

std::string trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

bool sameWithoutCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace

ParameterAssignment parseAssignment(const std::string& text, const std::string& option) {
  const auto equals = text.rfind('=');
  if (equals == std::string::npos) {
    throw UsageError(option + " '" + text + "' is not of the form NAME=VALUE");
  }
  ParameterAssignment assignment;
  assignment.parameter = trimmed(text.substr(0, equals));
  if (assignment.parameter.empty()) throw UsageError(option + " '" + text + "' names no parameter");
  assignment.valueText = trimmed(text.substr(equals + 1));
  assignment.value = static_cast<float>(parseNumber(assignment.valueText, option + " " + assignment.parameter));
  assignment.option = option;
  return assignment;
}

TimedAssignment parseTimedAssignment(const std::string& text, const std::string& option) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) {
    throw UsageError(option + " '" + text + "' is not of the form SECONDS:NAME=VALUE");
  }
  TimedAssignment timed;
  timed.seconds = parseNumberInRange(trimmed(text.substr(0, colon)), option + " time", 0.0, 1e6);
  timed.assignment = parseAssignment(text.substr(colon + 1), option);
  return timed;
}

int findParameter(const std::vector<std::string>& names, const std::string& key) {
  const std::string wanted = trimmed(key);
  for (std::size_t index = 0; index < names.size(); ++index) {
    if (sameWithoutCase(trimmed(names[index]), wanted)) return static_cast<int>(index);
  }
  if (wanted.empty()) return -1;
  for (char c : wanted) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
  }
  const long index = std::strtol(wanted.c_str(), nullptr, 10);
  return index >= 0 && index < static_cast<long>(names.size()) && wanted.size() < 10 ? static_cast<int>(index) : -1;
}

int resolveParameter(const std::vector<std::string>& names, const std::string& key) {
  const int index = findParameter(names, key);
  if (index < 0) {
    throw ToolError("unknown parameter '" + key + "': the plug-in has " + std::to_string(names.size()) +
                    " parameters (brume7-host info lists them)");
  }
  return index;
}

int resolveSetting(Plugin& plugin, const ParameterAssignment& setting) {
  const int index = plugin.findParameter(setting.parameter);
  if (index < 0) {
    throw ToolError("unknown parameter '" + setting.parameter + "': the plug-in has " +
                    std::to_string(plugin.parameterCount()) + " parameters (brume7-host info lists them)");
  }
  const ParameterRange range = plugin.parameterRange(index);
  checkSettingRange(setting, range.minimum, range.maximum);
  return index;
}

void checkSettingRange(const ParameterAssignment& setting, float minimum, float maximum) {
  if (setting.value >= minimum && setting.value <= maximum) return;
  const std::string option = setting.option.empty() ? "--set" : setting.option;
  const std::string value = setting.valueText.empty() ? formatLimit(setting.value) : setting.valueText;
  throw UsageError(option + " " + setting.parameter + " " + value + " is outside " + formatLimit(minimum) + ".." +
                   formatLimit(maximum));
}

std::string programRefusal(const std::string& option, int program, int count) {
  const std::string head = option + " " + std::to_string(program) + ": the plug-in has ";
  if (count <= 0) return head + "no programs";
  return head + std::to_string(count) + " programs (0.." + std::to_string(count - 1) + ")";
}

}  // namespace brume
