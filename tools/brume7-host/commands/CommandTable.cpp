#include <cstdio>

#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/ToolError.h"

#ifndef BRUME7_RELEASE_VERSION
#define BRUME7_RELEASE_VERSION "unknown"
#endif

namespace brume {

const std::vector<const Command*>& commandTable() {
  static const std::vector<const Command*> commands = {
      &kInfoCommand,     &kRenderCommand, &kBenchCommand, &kPresetCommand,
#ifdef BRUME_HOST_WITH_SNAPSHOT
      &kSnapshotCommand,
#endif
#ifdef BRUME_HOST_WITH_EDITOR
      &kEditorCommand,
#endif
      &kPlayCommand,
  };
  return commands;
}

const Command* findCommand(const std::string& name) {
  for (const Command* command : commandTable()) {
    if (name == command->name) return command;
  }
  return nullptr;
}

const char* defaultPluginFileName() {
#ifdef _WIN32
  return "BRM7.dll";
#else
  return "Brume7.so";
#endif
}

// The commands of this build that fall back to the default plug-in, as in "info, render and editor".
std::string defaultPluginCommands() {
  std::vector<std::string> names;
  for (const char* name : {"info", "render", "preset", "editor"}) {
    if (findCommand(name) != nullptr) names.push_back(name);
  }
#ifdef BRUME_HOST_WITH_PLAY
  names.push_back("play");  // where play is more than its message that it is missing
#endif
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text;
}

bool asksForHelp(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") return false;
    if (argument == "-h" || argument == "--help") return true;
  }
  return false;
}

std::string toolHelp() {
  std::string text =
      "Usage: brume7-host COMMAND [OPTIONS] [ARGUMENTS]\n"
      "\n"
      "A command-line VST 2 and LV2 host: inspects a plug-in, renders MIDI through it\n"
      "into an audio file, compares the speed of several plug-ins, and loads and\n"
      "saves VST 2 preset files (.fxp, .fxb). A plug-in is a VST 2 module file, or an\n"
      "LV2 plug-in by URI or bundle folder (Linux).\n"
      "\n"
      "Commands:\n";
  for (const Command* command : commandTable()) {
    char line[256];
    std::snprintf(line, sizeof line, "  %-8s %s\n", command->name, command->summary);
    text += line;
  }
  text += std::string(
              "\n"
              "Options:\n"
              "  -h, --help   show this help; 'brume7-host COMMAND --help' shows a command's options\n"
              "  --version    show the version\n"
              "\n"
              "Without a plug-in named, ") +
          defaultPluginCommands() + " use " + defaultPluginFileName() +
          " in the folder of brume7-host"
#ifndef _WIN32
          " (for an installed brume7-host: PREFIX/lib/vst/Brume7.so, else ~/.vst/Brume7.so)"
#endif
          ".\n"
          "Exit codes: 0 done, 1 the work failed (a file, the plug-in), 2 a bad command line.\n";
  return text;
}

int runTool(const std::vector<std::string>& arguments) {
  if (arguments.empty()) {
    std::fputs(toolHelp().c_str(), stderr);
    return 2;
  }
  const std::string& word = arguments.front();
  if (word == "-h" || word == "--help" || word == "help") {
    if (word == "help" && arguments.size() > 1) {
      if (const Command* command = findCommand(arguments[1])) {
        std::fputs(command->help, stdout);
        return 0;
      }
    }
    std::fputs(toolHelp().c_str(), stdout);
    return 0;
  }
  if (word == "--version") {
    std::printf("brume7-host %s\n", BRUME7_RELEASE_VERSION);
    return 0;
  }
  const Command* command = findCommand(word);
  if (command == nullptr) {
    std::fprintf(stderr, "brume7-host: unknown %s '%s'\nTry 'brume7-host --help'.\n",
                 word.size() > 1 && word[0] == '-' ? "option" : "command", word.c_str());
    return 2;
  }
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  if (asksForHelp(rest)) {
    std::fputs(command->help, stdout);
    return 0;
  }
  try {
    return command->run(rest);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "brume7-host %s: %s\nTry 'brume7-host %s --help'.\n", command->name, error.what(),
                 command->name);
    return 2;
  } catch (const ToolError& error) {
    std::fprintf(stderr, "brume7-host %s: %s\n", command->name, error.what());
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "brume7-host %s: %s\n", command->name, error.what());
    return 1;
  }
}

}  // namespace brume
