#pragma once
// The subcommands of brume7-host: a table of small records, one file per
// command. A new command is a new file defining its record and one line in
// CommandTable.cpp.

#include <string>
#include <vector>

namespace brume {

struct Command {
  const char* name;
  const char* summary;  // one line for the tool's help
  const char* help;     // the command's full help text
  // Runs the command with the arguments after its name; answers the exit code.
  // Throws UsageError (exit 2) or ToolError (exit 1). Main thread.
  int (*run)(const std::vector<std::string>& arguments);
};

extern const Command kInfoCommand;
extern const Command kRenderCommand;
extern const Command kBenchCommand;
extern const Command kPresetCommand;
extern const Command kSnapshotCommand;  // native builds with the headless platform only
extern const Command kEditorCommand;    // builds with X11 only
extern const Command kPlayCommand;      // live through JACK; elsewhere it says it is not available

// All commands, in the order the help lists them.
const std::vector<const Command*>& commandTable();
const Command* findCommand(const std::string& name);

// The whole tool: parses the command word, runs the command, prints errors
// ("brume7-host render: ..." and a hint for usage errors) and answers the exit code.
int runTool(const std::vector<std::string>& arguments);

// The tool's help text.
std::string toolHelp();

// True for "-h" and "--help" anywhere before "--".
bool asksForHelp(const std::vector<std::string>& arguments);

// The name of the default plug-in file on this platform.
const char* defaultPluginFileName();

}  // namespace brume
