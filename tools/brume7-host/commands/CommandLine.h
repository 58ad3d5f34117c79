#pragma once
// A small command-line parser: long options with a value given as the next
// argument or after '=', short aliases, flags, positional arguments and "--".

#include <string>
#include <utility>
#include <vector>

namespace brume {

struct OptionRule {
  std::string name;       // "--rate"
  std::string shortName;  // "-o", or empty
  bool takesValue = true;
};

struct ParsedCommandLine {
  // Options in the order given, by long name; flags have an empty value.
  std::vector<std::pair<std::string, std::string>> options;
  std::vector<std::string> positionals;

  bool has(const std::string& name) const;
};

// Throws UsageError for an unknown option or a missing value. Any thread.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments, const std::vector<OptionRule>& rules);

// Number parsers that name the option in their errors; all throw UsageError.
// The whole text must be the number.
double parseNumber(const std::string& text, const std::string& option);
double parseNumberInRange(const std::string& text, const std::string& option, double lowest, double highest);
int parseInteger(const std::string& text, const std::string& option, int lowest, int highest);
// Whole numbers separated by commas ("64,17,300"), each in range.
std::vector<int> parseIntegerList(const std::string& text, const std::string& option, int lowest, int highest);
// A limit as a short text: 44100, 0.5, -12.
std::string formatLimit(double value);

}  // namespace brume
