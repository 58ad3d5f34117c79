#pragma once
// Audio files through libsndfile (Linux builds): WAV and FLAC.

#include <memory>
#include <string>

#include "tools/brume7-host/audio/AudioFile.h"

namespace brume {

// Throws ToolError when the file cannot be created. Main thread.
std::unique_ptr<AudioFileWriter> openSndfileWriter(const std::string& path, const AudioFileLayout& layout);
// Any format libsndfile reads, as float. Throws ToolError.
AudioData readSndfile(const std::string& path);

}  // namespace brume
