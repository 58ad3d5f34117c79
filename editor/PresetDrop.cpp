#include "editor/PresetDrop.h"

#include <cstdio>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "host/PresetFile.h"
#include "instrument/Instrument.h"

namespace brume {
namespace {

#if defined(_WIN32)
// Windows' fopen refuses folders, and dropped files are never pipes.
bool isPlainFile(const char*) { return true; }
#else
// A dropped folder or pipe is no preset; opening a pipe would block the UI thread.
bool isPlainFile(const char* path) {
  struct stat status;
  return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}
#endif

bool readSmallFile(const char* path, std::vector<std::uint8_t>& bytes) {
  if (!isPlainFile(path)) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  bytes.resize(kLargestPresetFile + 1);
  const std::size_t size = std::fread(bytes.data(), 1, bytes.size(), file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed || size > kLargestPresetFile) return false;
  bytes.resize(size);
  return true;
}

// Parameter values live from 0 to 1; a file holding anything else (NaN included) is damaged.
bool holdsParameterValues(const PresetProgram& program) {
  for (float value : program.values)
    if (!(value >= 0.0f && value <= 1.0f)) return false;
  return true;
}

void makeProgram(const PresetProgram& source, InstrumentProgram& program) {
  for (std::int32_t i = 0; i < kParameterCount; ++i) program.values.set(i, source.values[static_cast<std::size_t>(i)]);
  program.rename(source.name.c_str());
}

// In increasing index order, as a program change applies them: a pair of
// parameters read together is applied again when its second member changes.
void applyToCurrentProgram(Instrument& instrument, InstrumentProgram& program) {
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    const float value = program.values.get(i);
    if (instrument.getParameter(i) == value) continue;
    instrument.hostBeginEdit(i);
    instrument.setParameterFromEditor(i, value);
    instrument.hostEndEdit(i);
  }
  instrument.renameProgram(program.name);
}

}  // namespace

bool loadPresetBytes(Instrument& instrument, const std::uint8_t* data, std::size_t size) {
  PresetFile file;
  std::string error;
  if (!data || !readPresetFile(data, size, file, error)) return false;
  if (!presetMismatch(file, instrument.record()->uniqueID, kParameterCount, kProgramCount, false, false).empty())
    return false;
  const std::size_t expected = file.kind == PresetKind::Bank ? kProgramCount : 1;
  if (file.layout != PresetLayout::ParameterList || file.programs.size() != expected) return false;
  for (const PresetProgram& program : file.programs)
    if (program.values.size() != kParameterCount || !holdsParameterValues(program)) return false;

  std::vector<InstrumentProgram> programs(file.programs.size());
  for (std::size_t p = 0; p < programs.size(); ++p) makeProgram(file.programs[p], programs[p]);
  const VstInt32 current = instrument.programIndex();
  if (file.kind == PresetKind::Bank) {
    for (VstInt32 p = 0; p < kProgramCount; ++p)
      if (p != current) instrument.storeProgram(p, programs[static_cast<std::size_t>(p)]);
    // The bank's own current-program field is not followed: the host chose the program.
    if (current >= 0 && current < kProgramCount) applyToCurrentProgram(instrument, programs[current]);
  } else {
    applyToCurrentProgram(instrument, programs[0]);
  }
  instrument.hostUpdateDisplay();  // program names changed
  return true;
}

bool loadPresetFile(Instrument& instrument, const char* path) {
  std::vector<std::uint8_t> bytes;
  if (!path || !readSmallFile(path, bytes)) return false;
  return loadPresetBytes(instrument, bytes.data(), bytes.size());
}

}  // namespace brume
