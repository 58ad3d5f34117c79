#pragma once
// `play --record`: what the audio thread puts into a RecordingRing goes into
// an audio file on a thread of its own, under a temporary name that becomes
// the file's name only when the recording is complete.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/audio/PendingFile.h"
#include "tools/brume7-host/live/RecordingRing.h"

namespace brume {

class RecordingWriter {
 public:
  // Checks that the file can be made and opens it under its temporary name;
  // the ring holds `ringFrames` frames. Throws ToolError naming `path`. Main thread.
  RecordingWriter(const std::string& path, const AudioFileLayout& layout, std::size_t ringFrames);
  // Stops the thread; removes the temporary file unless finished.
  ~RecordingWriter();

  RecordingWriter(const RecordingWriter&) = delete;
  RecordingWriter& operator=(const RecordingWriter&) = delete;

  // The audio thread writes here.
  RecordingRing& ring() { return frames; }
  // Starts the writer thread. Main thread.
  void start();
  // Writes what is left in the ring, completes the file and gives it its name.
  // Throws ToolError when a write failed. Main thread, after the audio thread stopped writing.
  void finish();

  const std::string& path() const { return file.destinationPath(); }
  // Any thread.
  std::uint64_t framesWritten() const { return written.load(std::memory_order_relaxed); }

 private:
  void run();
  void drain();

  PendingFile file;
  std::unique_ptr<AudioFileWriter> writer;
  RecordingRing frames;
  std::vector<float> chunk;  // the writer thread's buffer, made up front
  std::thread thread;
  std::atomic<bool> stopping{false};
  std::atomic<std::uint64_t> written{0};
  std::string failure;  // the first write error; read after the thread ended
};

}  // namespace brume
