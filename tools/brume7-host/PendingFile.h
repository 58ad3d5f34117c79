#pragma once
// An output written under a temporary name in its destination's folder and
// renamed only when complete, so that a failed render never leaves a file
// that looks finished.

#include <string>

namespace brume {

class PendingFile {
 public:
  // Checks that the destination is not a folder; throws ToolError. Main thread.
  explicit PendingFile(const std::string& destination);
  // Removes the temporary file unless committed.
  ~PendingFile();

  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  const std::string& temporaryPath() const { return temporary; }
  const std::string& destinationPath() const { return destination; }
  // Renames the temporary file to the destination, replacing an older file. Throws ToolError.
  void commit();

 private:
  std::string destination;
  std::string temporary;
  bool committed = false;
};

}  // namespace brume
