#pragma once
// Shared pieces of the play tests: child processes with their output in
// files, a scratch folder, the test phrase as events and as a MIDI file, and
// sample comparisons that name the first difference.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace brume::test {

// A program run with its standard output and error in files of `folder`.
class ChildProcess {
 public:
  // `environment` entries "NAME=VALUE" are set, "NAME" alone is removed.
  ChildProcess(const std::vector<std::string>& arguments, const std::string& folder, const std::string& tag,
               const std::vector<std::string>& environment = {});
  // Kills the program if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Waits up to `seconds`; the exit code, or -1 (and the program is killed) on a timeout or a signal.
  int wait(double seconds);
  // Waits up to `seconds` until the standard output holds `text`.
  bool waitForOutput(const std::string& text, double seconds) const;
  std::string output() const;
  std::string errors() const;
  // Sends a signal to the program while it runs.
  void signal(int number);

 private:
  pid_t pid = -1;
  std::string outPath;
  std::string errPath;
};

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return folder; }
  std::string file(const std::string& name) const { return folder + "/" + name; }
  std::vector<std::string> entries() const;

 private:
  std::string folder;
};

struct PhraseEvent {
  std::uint64_t frame;
  std::uint8_t bytes[3];
};

// Writes the events for the JACK peer ("FRAME STATUS DATA1 DATA2" lines).
void writePeerEvents(const std::string& path, const std::vector<PhraseEvent>& events);
// Writes the events as a format 0 MIDI file at 120 BPM, 480 ticks per quarter:
// a tick is 50 frames at 48000 Hz, so every frame must be a multiple of 50.
void writeMidiFile(const std::string& path, const std::vector<PhraseEvent>& events);

// Interleaved stereo floats.
std::vector<float> readRawStereo(const std::string& path);
// The first frame with a non-zero sample in any channel, or -1.
std::int64_t firstSoundingFrame(const std::vector<float>& samples, int channels);
// "" when `frames` frames from `aFrom` in `a` equal those from `bFrom` in `b`
// sample for sample; else where they first differ and by what.
std::string compareFrames(const std::vector<float>& a, std::int64_t aFrom, const std::vector<float>& b,
                          std::int64_t bFrom, std::int64_t frames, int channels);
// One channel of interleaved samples.
std::vector<float> channel(const std::vector<float>& samples, int channels, int index);
// Root mean square of the frames [from, to) of interleaved samples.
double rms(const std::vector<float>& samples, int channels, std::int64_t from, std::int64_t to);

}  // namespace brume::test
