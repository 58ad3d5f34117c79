// brume7-host snapshot: opens Brume7's own editor on the headless platform
// (no display needed), lets its first refresh draw the instrument's values,
// and writes the window's pixels as a PNG file.

#include <string>
#include <vector>

#include "editor/InstrumentEditor.h"
#include "gui/Frame.h"
#include "gui/native/headless/HeadlessPlatform.h"
#include "gui/native/raster/PngExport.h"
#include "instrument/Instrument.h"
#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/commands/ParameterAssignment.h"
#include "tools/brume7-host/audio/PendingFile.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

const char kSnapshotHelp[] =
    "Usage: brume7-host snapshot --out FILE.png [--program N] [--set NAME=VALUE]...\n"
    "\n"
    "Makes a Brume7 instance inside brume7-host itself (not through a plug-in file),\n"
    "opens its editor on the headless platform (an offscreen window drawn by the\n"
    "same software renderer the Linux plug-in shows in its X11 window; no display is\n"
    "needed), lets the editor's first refresh show the instrument's values, and\n"
    "writes the 650 x 200 window as a PNG image.\n"
    "\n"
    "Options:\n"
    "  -o, --out FILE      the PNG file to write (required)\n"
    "  --program N         select program N (0..15) first\n"
    "  --set NAME=VALUE    set a parameter first; NAME is its name (any case) or\n"
    "                      index, VALUE 0..1; repeatable, applied in order after\n"
    "                      --program\n"
    "  -h, --help          show this help\n";

VstIntPtr BRUME_VSTCALL snapshotHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  switch (opcode) {
    case kHostVersion:
      return 2400;
    case kHostTempoAt:
      return 1200000;
    default:
      return 0;
  }
}

std::vector<std::string> parameterNamesOf(Instrument& instrument) {
  std::vector<std::string> names;
  for (VstInt32 i = 0; i < instrument.parameterCountValue(); ++i) {
    char name[64] = {};
    instrument.copyParameterName(i, name);
    names.emplace_back(name);
  }
  return names;
}

int runSnapshot(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed =
      parseCommandLine(arguments, {{"--out", "-o", true}, {"--program", "", true}, {"--set", "", true}});
  if (!parsed.positionals.empty()) throw UsageError("unexpected argument '" + parsed.positionals.front() + "'");

  std::string output;
  int program = -1;
  std::vector<ParameterAssignment> assignments;
  for (const auto& [name, value] : parsed.options) {
    if (name == "--out")
      output = value;
    else if (name == "--program")
      program = parseInteger(value, name, 0, 15);
    else if (name == "--set") {
      assignments.push_back(parseAssignment(value, name));
      checkSettingRange(assignments.back(), 0.0f, 1.0f);
    }
  }
  if (output.empty()) throw UsageError("--out FILE.png is required");

  Instrument instrument(&snapshotHost);
  if (program >= 0) instrument.dispatcher(2, 0, program, nullptr, 0.0f);
  const std::vector<std::string> names = parameterNamesOf(instrument);
  for (const ParameterAssignment& assignment : assignments)
    instrument.setParameter(resolveParameter(names, assignment.parameter), assignment.value);

  EditorBase* editor = instrument.editorObjectPointer();
  if (!editor) throw ToolError("the instrument has no editor");
  int hostWindow = 0;
  editor->open(&hostWindow);
  Frame* frame = static_cast<InstrumentEditor*>(editor)->getFrame();
  native::Window* window = frame ? frame->nativeWindow() : nullptr;
  if (!window) throw ToolError("the editor opened no window");
  headless::paintWindow(window);  // the host's first paint enables idle redraws
  editor->idle();                 // the refresh opening asked for: values and texts

  PendingFile pending(output);
  if (!raster::writePng(*headless::windowCanvas(window), pending.writePath()))
    throw ToolError("cannot write " + output);
  pending.commit();
  editor->close();
  return 0;
}

}  // namespace

const Command kSnapshotCommand = {"snapshot", "draw Brume7's editor offscreen and save it as a PNG image",
                                  kSnapshotHelp, runSnapshot};

}  // namespace brume
