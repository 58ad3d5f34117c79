#include "tests/tool/HostToolRun.h"
#include "BuildPaths.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace brume::test {
namespace {

std::string quoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

}  // namespace

std::string readAll(const std::string& path) {
  std::ifstream stream(path);
  std::stringstream text;
  text << stream.rdbuf();
  return text.str();
}

ToolRun runHostTool(const TemporaryFolder& folder, const std::vector<std::string>& arguments,
                    const std::string& shell) {
  std::string command = "cd " + quoted(folder.path().string()) + " && " + shell + (shell.empty() ? "" : "; exec ") +
                        quoted(BRUME_TEST_HOST_EXECUTABLE);
  for (const std::string& argument : arguments) command += " " + quoted(argument);
  const std::string out = folder.file("stdout.txt");
  const std::string err = folder.file("stderr.txt");
  command += " >" + quoted(out) + " 2>" + quoted(err) + " </dev/null";
  const int status = std::system(command.c_str());
  ToolRun result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = readAll(out);
  result.err = readAll(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return result;
}

std::size_t lineCount(const std::string& text) {
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  return lines;
}

}  // namespace brume::test
