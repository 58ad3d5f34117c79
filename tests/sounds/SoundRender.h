#pragma once
// Renders one program of a bank through the built plug-in on the reference
// phrase, loaded as a host loads a bank, and measures what a listener hears.

#include <string>
#include <vector>

#include "host/PresetFile.h"
#include "tests/plugin/PluginModule.h"

namespace brume::test {

constexpr int kLibrarySampleRate = 44100;

struct SoundRender {
  std::vector<float> left, right;
  int phraseEnd = 0;  // the sample of the last note-off
};

// The bank goes into a fresh instance program by program (select, name, 54
// values), then `program` is selected and the phrase played, followed by
// `tailSamples` of silence in.
SoundRender renderProgram(PluginModule& module, const PresetFile& bank, int program, int tailSamples);

struct SoundFigures {
  bool finite = true;
  double peakDb = 0.0;  // dBFS, both channels
  double rmsDb = 0.0;   // dBFS over the phrase, up to its last note-off
  int tailSamples = 0;  // from the last note-off to the last sample above kSilenceDb
};

constexpr double kSilenceDb = -70.0;

SoundFigures measure(const SoundRender& render);

// A coarse picture of the sound: level in dB of 24 bands (40 Hz to 18 kHz) in
// frames of 1024 samples over the phrase, relative to the loudest cell and
// floored at -60 dB, so that loudness alone does not tell two sounds apart.
std::vector<float> bandPicture(const SoundRender& render);

// The mean absolute difference in dB of two pictures.
double pictureDistance(const std::vector<float>& a, const std::vector<float>& b);

// Samples from a note-off to the end of the voice's envelope at most: attack
// and decay may still have to run before the release.
int envelopeBound(const std::vector<float>& values);

}  // namespace brume::test
