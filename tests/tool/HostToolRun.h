#pragma once
// The brume7-host executable run as a child in a test's folder, its exit code
// and output captured (Linux).

#include <cstddef>
#include <string>
#include <vector>

#include "tests/tool/ToolTestSupport.h"

namespace brume::test {

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the tool in `folder` with `arguments` and no standard input; `shell`
// runs first in the same shell, e.g. a ulimit.
ToolRun runHostTool(const TemporaryFolder& folder, const std::vector<std::string>& arguments,
                    const std::string& shell = "");

std::size_t lineCount(const std::string& text);
std::string readAll(const std::string& path);

}  // namespace brume::test
