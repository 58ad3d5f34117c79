#include "tools/brume7-host/presets/PresetFileAccess.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/audio/PendingFile.h"

namespace brume {
namespace {

std::string named(const std::string& path, const std::string& option) {
  return (option.empty() ? "" : option + " ") + "'" + path + "'";
}

std::string unreadable(const std::string& path, const std::string& option) {
  return (option.empty() ? "" : option + ": ") + "cannot read '" + path + "': " + std::strerror(errno);
}

// Closes the file however the reading ends.
struct OpenFile {
  std::FILE* file;
  ~OpenFile() {
    if (file != nullptr) std::fclose(file);
  }
};

}  // namespace

PresetFile readPresetFileAt(const std::string& path, const std::string& option) {
  OpenFile opened{std::fopen(path.c_str(), "rb")};
  if (opened.file == nullptr) throw ToolError(unreadable(path, option));
  // Read block by block: a file past the limit is refused without being read whole.
  std::vector<std::uint8_t> bytes;
  std::uint8_t block[65536];
  std::size_t count = 0;
  while ((count = std::fread(block, 1, sizeof block, opened.file)) > 0) {
    bytes.insert(bytes.end(), block, block + count);
    if (bytes.size() > kLargestPresetFileBytes) {
      throw ToolError(named(path, option) + ": larger than " + std::to_string(kLargestPresetFileBytes >> 20) +
                      " MiB, too large for a preset file");
    }
  }
  if (std::ferror(opened.file) != 0) throw ToolError(unreadable(path, option));
  PresetFile file;
  std::string error;
  if (!readPresetFile(bytes.data(), bytes.size(), file, error)) throw ToolError(named(path, option) + ": " + error);
  return file;
}

void writePresetFileAt(const std::string& path, const PresetFile& file) {
  const std::vector<std::uint8_t> bytes = writePresetFile(file);
  PendingFile pending(path);
  std::FILE* out = pending.standardOutput();
  const bool own = out == nullptr;
  if (own) out = std::fopen(pending.writePath().c_str(), "wb");
  if (out == nullptr) throw ToolError("cannot write '" + path + "': " + std::strerror(errno));
  const bool complete = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  const int writeError = complete ? 0 : errno;
  const bool closed = own ? std::fclose(out) == 0 : std::fflush(out) == 0;
  if (!complete || !closed) {
    throw ToolError("cannot write '" + path + "': " + std::strerror(complete ? errno : writeError));
  }
  pending.commit();
}

}  // namespace brume
