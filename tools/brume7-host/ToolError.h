#pragma once
// The two ways a command fails: the command line itself is wrong (exit code 2,
// with a hint to the help text), or the work cannot be done (exit code 1).

#include <stdexcept>
#include <string>

namespace brume {

// Something the user can fix (a missing file, a bad plug-in): one line, exit code 1.
class ToolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A malformed command line: one line plus a usage hint, exit code 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace brume
