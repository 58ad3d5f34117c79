#include <string>
#include <vector>

#include "tools/brume7-host/commands/Command.h"

int main(int argc, char** argv) { return brume::runTool(std::vector<std::string>(argv + 1, argv + argc)); }
