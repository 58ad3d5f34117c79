// brume7-bitmap-generator OUTPUT_DIR [--preview FILE] [--font-dir DIR]
// Paints the editor's seven bitmaps into OUTPUT_DIR; with --preview it also
// writes a picture of the assembled editor to FILE. The labels are set in
// Liberation Sans from DIR (by default the folder of Debian's fonts-liberation).

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "BackgroundPainter.h"
#include "BmpWriter.h"
#include "FontText.h"
#include "KnobPainter.h"
#include "Preview.h"
#include "SwitchPainter.h"
#include "VoiceMeterPainter.h"

#ifndef BRUME7_FONT_DIR
#define BRUME7_FONT_DIR "/usr/share/fonts/truetype/liberation"
#endif

namespace {

constexpr const char* kProgram = "brume7-bitmap-generator";
constexpr const char* kUsage = "usage: OUTPUT_DIR [--preview FILE] [--font-dir DIR]";
constexpr int kPreviewVoices = 6;

int fail(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brume::bitmaps;

  std::string outputDirectory;
  std::string previewPath;
  std::string fontDirectory = BRUME7_FONT_DIR;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--preview" && i + 1 < argc) {
      previewPath = argv[++i];
    } else if (argument == "--font-dir" && i + 1 < argc) {
      fontDirectory = argv[++i];
    } else if (!argument.empty() && argument[0] != '-' && outputDirectory.empty()) {
      outputDirectory = argument;
    } else {
      return fail(kUsage);
    }
  }
  if (outputDirectory.empty()) return fail(kUsage);

  FontLibrary fonts;
  std::string error;
  if (!fonts.open(fontDirectory, error)) return fail(error);

  std::error_code directoryError;
  std::filesystem::create_directories(outputDirectory, directoryError);
  if (directoryError || !std::filesystem::is_directory(outputDirectory))
    return fail("cannot use output directory " + outputDirectory +
                (directoryError ? ": " + directoryError.message() : ": not a directory"));

  const Raster background = paintBackground(fonts);
  const Raster knobs[4] = {paintKnobStrip(KnobStyle::blue), paintKnobStrip(KnobStyle::silver),
                           paintKnobStrip(KnobStyle::amber), paintKnobStrip(KnobStyle::teal)};
  const Raster switchStrip = paintSwitchStrip();
  const Raster meter = paintVoiceMeterStrip(fonts);

  const struct {
    const char* name;
    const Raster& raster;
  } files[] = {
      {"101_background.bmp", background}, {"104_knob.bmp", knobs[0]}, {"105_knob.bmp", knobs[1]},
      {"106_knob.bmp", knobs[2]},         {"107_knob.bmp", knobs[3]}, {"109_switch.bmp", switchStrip},
      {"110_voice_meter.bmp", meter},
  };
  for (const auto& file : files)
    if (!writeBmp((std::filesystem::path(outputDirectory) / file.name).string(), file.raster, error))
      return fail(error);

  if (!previewPath.empty()) {
    const EditorBitmaps bitmaps{background, {&knobs[0], &knobs[1], &knobs[2], &knobs[3]}, switchStrip, meter};
    if (!writeBmp(previewPath, paintEditorPreview(bitmaps, fonts, kPreviewVoices), error)) return fail(error);
  }
  return 0;
}
