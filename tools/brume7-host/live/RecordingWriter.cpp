#include "tools/brume7-host/live/RecordingWriter.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

constexpr std::size_t kChunkFrames = 4096;
// Short enough that the ring, which holds seconds, never fills while the thread sleeps.
constexpr auto kPollPeriod = std::chrono::milliseconds(10);

// The folder a file is made in must exist and be writable; asked first, for a clear message.
void checkFolder(const std::string& path) {
  const auto separator = path.find_last_of('/');
  const std::string folder = separator == std::string::npos ? "." : path.substr(0, separator == 0 ? 1 : separator);
  if (access(folder.c_str(), W_OK) != 0) {
    throw ToolError("cannot record to '" + path + "': folder '" + folder + "': " + std::strerror(errno));
  }
}

}  // namespace

RecordingWriter::RecordingWriter(const std::string& path, const AudioFileLayout& layout, std::size_t ringFrames)
    : file((checkFolder(path), path)),
      frames(layout.channels, ringFrames),
      chunk(kChunkFrames * static_cast<std::size_t>(frames.channels())) {
  try {
    writer = openAudioFileWriter(file.temporaryPath(), layout);
  } catch (const ToolError& error) {
    throw ToolError("cannot record to '" + path + "': " + error.what());
  }
}

RecordingWriter::~RecordingWriter() {
  stopping = true;
  if (thread.joinable()) thread.join();
}

void RecordingWriter::start() {
  thread = std::thread([this] { run(); });
}

void RecordingWriter::run() {
  while (!stopping.load(std::memory_order_acquire)) {
    drain();
    std::this_thread::sleep_for(kPollPeriod);
  }
  drain();
}

void RecordingWriter::drain() {
  for (;;) {
    const std::size_t count = frames.read(chunk.data(), kChunkFrames);
    if (count == 0) return;
    if (!failure.empty()) continue;  // after a failure the ring is only emptied
    try {
      writer->write(chunk.data(), count);
      written.fetch_add(count, std::memory_order_relaxed);
    } catch (const std::exception& error) {
      failure = error.what();
    }
  }
}

void RecordingWriter::finish() {
  stopping = true;
  if (thread.joinable()) {
    thread.join();
  } else {
    drain();
  }
  if (!failure.empty()) throw ToolError("the recording '" + path() + "' failed: " + failure);
  writer->finish();
  file.commit();
}

}  // namespace brume
