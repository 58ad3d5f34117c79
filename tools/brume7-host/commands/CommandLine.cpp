#include "tools/brume7-host/commands/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "tools/brume7-host/ToolError.h"

namespace brume {
std::string formatLimit(double value) {
  std::string text = std::to_string(value);
  // "44100.000000" reads better as "44100".
  while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) {
    const bool point = text.back() == '.';
    text.pop_back();
    if (point) break;
  }
  return text;
}

bool ParsedCommandLine::has(const std::string& name) const {
  for (const auto& option : options) {
    if (option.first == name) return true;
  }
  return false;
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments, const std::vector<OptionRule>& rules) {
  ParsedCommandLine parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--") {
      parsed.positionals.insert(parsed.positionals.end(), arguments.begin() + static_cast<long>(i) + 1,
                                arguments.end());
      break;
    }
    if (argument.size() < 2 || argument[0] != '-') {
      parsed.positionals.push_back(argument);
      continue;
    }
    std::string name = argument;
    std::string value;
    bool inlineValue = false;
    if (argument.compare(0, 2, "--") == 0) {
      const auto equals = argument.find('=');
      if (equals != std::string::npos) {
        name = argument.substr(0, equals);
        value = argument.substr(equals + 1);
        inlineValue = true;
      }
    }
    const OptionRule* rule = nullptr;
    for (const OptionRule& candidate : rules) {
      if (candidate.name == name || (!candidate.shortName.empty() && candidate.shortName == name)) rule = &candidate;
    }
    if (rule == nullptr) {
      // A negative number where a positional is expected is not an option, but no command takes one.
      throw UsageError("unknown option '" + name + "'");
    }
    if (!rule->takesValue) {
      if (inlineValue) throw UsageError("option '" + rule->name + "' takes no value");
      parsed.options.emplace_back(rule->name, "");
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= arguments.size()) throw UsageError("option '" + rule->name + "' needs a value");
      value = arguments[++i];
    }
    parsed.options.emplace_back(rule->name, value);
  }
  return parsed;
}

double parseNumber(const std::string& text, const std::string& option) {
  if (text.empty()) throw UsageError("option '" + option + "' needs a number, not an empty text");
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) {
    throw UsageError("bad number '" + text + "' for " + option);
  }
  return value;
}

double parseNumberInRange(const std::string& text, const std::string& option, double lowest, double highest) {
  const double value = parseNumber(text, option);
  if (value < lowest || value > highest) {
    throw UsageError(option + " " + text + " is outside " + formatLimit(lowest) + ".." + formatLimit(highest));
  }
  return value;
}

std::vector<int> parseIntegerList(const std::string& text, const std::string& option, int lowest, int highest) {
  std::vector<int> values;
  std::size_t begin = 0;
  while (true) {
    const std::size_t comma = text.find(',', begin);
    values.push_back(parseInteger(text.substr(begin, comma - begin), option, lowest, highest));
    if (comma == std::string::npos) return values;
    begin = comma + 1;
  }
}

int parseInteger(const std::string& text, const std::string& option, int lowest, int highest) {
  if (text.empty()) throw UsageError("option '" + option + "' needs a whole number, not an empty text");
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (end != text.c_str() + text.size() || errno == ERANGE) {
    throw UsageError("bad whole number '" + text + "' for " + option);
  }
  if (value < lowest || value > highest) {
    throw UsageError(option + " " + text + " is outside " + std::to_string(lowest) + ".." + std::to_string(highest));
  }
  return static_cast<int>(value);
}

}  // namespace brume
