#pragma once
// Where a render's audio goes. A regular file (or a new name) is written under
// a temporary name beside it and renamed only when complete, so that a failed
// or interrupted render never leaves a file that looks finished and never
// touches an older one; a symbolic link is followed, and its target is what
// gets replaced. Anything else that exists (a character device such as
// /dev/null, a FIFO, a socket) and "-" (standard output) is written to
// directly as a stream: nothing that is not a regular file is ever replaced.

#include <cstdio>
#include <string>

namespace brume {

class PendingFile {
 public:
  // Classifies the destination; refuses a folder. While it lives, SIGINT,
  // SIGTERM and SIGXFSZ remove the temporary file, print one line and end the
  // process (exit code 128 + the signal). Throws ToolError. Main thread, one at a time.
  explicit PendingFile(const std::string& destination);
  // Removes the temporary file unless committed, and restores the signal handlers.
  ~PendingFile();

  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // True when the audio goes straight to a device, FIFO, socket or standard output.
  bool isStream() const { return stream; }
  // Standard output for "-", else null (open `writePath()` instead).
  std::FILE* standardOutput() const;
  // The file to open for writing: the temporary file, or the stream's own path.
  const std::string& writePath() const { return stream ? destination : temporary; }
  // The name the user gave.
  const std::string& destinationPath() const { return destination; }
  // A regular file's temporary name (empty for a stream).
  const std::string& temporaryPath() const { return temporary; }
  // Renames the temporary file over the destination (a link's target); nothing for a stream. Throws ToolError.
  void commit();

 private:
  std::string destination;
  std::string replaced;  // the regular file the rename replaces: the destination, or where its links lead
  std::string temporary;
  bool stream = false;
  bool toStandardOutput = false;
  bool committed = false;
};

}  // namespace brume
