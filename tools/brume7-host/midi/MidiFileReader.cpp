#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/brume7-host/midi/MidiSong.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kSysexStart = 0xF0;
constexpr std::uint8_t kSysexEscape = 0xF7;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;

std::string hexOffset(std::size_t offset) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%zX", offset);
  return text;
}

// Reads one track chunk's bytes, keeping the offset within the whole file for messages.
class TrackReader {
 public:
  TrackReader(const std::uint8_t* bytes, std::size_t begin, std::size_t end, int track)
      : data(bytes), position(begin), limit(end), trackNumber(track) {}

  bool atEnd() const { return position >= limit; }

  std::uint8_t peek() const { return data[position]; }

  std::uint8_t next() {
    require(1);
    return data[position++];
  }

  // A variable-length quantity: 7 bits per byte, high bit set on all but the last, at most 4 bytes.
  std::uint32_t variableLength() {
    std::uint32_t value = 0;
    for (int count = 0; count < 4; ++count) {
      const std::uint8_t byte = next();
      value = (value << 7) | (byte & 0x7Fu);
      if ((byte & 0x80u) == 0) return value;
    }
    fail("a variable-length number longer than 4 bytes");
  }

  void skip(std::uint32_t count) {
    require(count);
    position += count;
  }

  const std::uint8_t* current() const { return data + position; }

  void require(std::size_t count) const {
    if (limit - position < count) {
      throw ToolError("truncated MIDI file: track " + std::to_string(trackNumber) + " ends inside an event (byte " +
                      hexOffset(position) + ")");
    }
  }

  [[noreturn]] void fail(const std::string& what) const {
    throw ToolError("malformed MIDI file: " + what + " in track " + std::to_string(trackNumber) + " at byte " +
                    hexOffset(position));
  }

 private:
  const std::uint8_t* data;
  std::size_t position;
  std::size_t limit;
  int trackNumber;
};

std::uint32_t bigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::uint16_t bigEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

int dataByteCount(std::uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
      return 1;
    default:
      return 2;
  }
}

// Data bytes that follow a system common or real-time status (never valid in a file, but skippable).
int systemDataByteCount(std::uint8_t status) {
  switch (status) {
    case 0xF1:
    case 0xF3:
      return 1;
    case 0xF2:
      return 2;
    default:
      return 0;
  }
}

void readTrack(TrackReader& reader, int track, MidiSong& song) {
  std::uint64_t tick = 0;
  std::uint8_t runningStatus = 0;
  while (!reader.atEnd()) {
    tick += reader.variableLength();
    reader.require(1);
    std::uint8_t status = reader.peek();
    if (status < 0x80) {
      if (runningStatus == 0) reader.fail("a data byte without a status byte");
      status = runningStatus;
    } else {
      reader.next();
    }

    if (status == kMetaEvent) {
      runningStatus = 0;
      const std::uint8_t type = reader.next();
      const std::uint32_t length = reader.variableLength();
      reader.require(length);
      if (type == kMetaTempo && length == 3) {
        const std::uint8_t* p = reader.current();
        const std::uint32_t microseconds = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
        // A zero tempo would stop time; such an event is ignored.
        if (microseconds > 0) song.tempoChanges.push_back({tick, microseconds});
      } else {
        ++song.skippedEvents;
      }
      reader.skip(length);
      if (type == kMetaEndOfTrack) break;
      continue;
    }
    if (status == kSysexStart || status == kSysexEscape) {
      runningStatus = 0;
      reader.skip(reader.variableLength());
      ++song.skippedEvents;
      continue;
    }
    if (status >= 0xF0) {
      // System common messages cancel running status; real-time ones do not.
      if (status < 0xF8) runningStatus = 0;
      reader.skip(static_cast<std::uint32_t>(systemDataByteCount(status)));
      ++song.skippedEvents;
      continue;
    }

    runningStatus = status;
    MidiMessage message;
    message.tick = tick;
    message.track = static_cast<std::uint16_t>(track);
    message.data[0] = status;
    message.size = static_cast<std::uint8_t>(1 + dataByteCount(status));
    for (int i = 1; i < message.size; ++i) {
      const std::uint8_t byte = reader.next();
      if (byte >= 0x80) reader.fail("a status byte where a data byte belongs");
      message.data[i] = byte;
    }
    song.messages.push_back(message);
  }
  song.endTick = std::max(song.endTick, tick);
}

}  // namespace

MidiSong parseMidiFile(const std::uint8_t* bytes, std::size_t size) {
  if (size < 8 || std::memcmp(bytes, "MThd", 4) != 0) {
    throw ToolError("not a Standard MIDI File (no MThd header)");
  }
  const std::uint32_t headerLength = bigEndian32(bytes + 4);
  if (headerLength < 6) throw ToolError("malformed MIDI file: header of " + std::to_string(headerLength) + " bytes");
  if (size - 8 < headerLength) throw ToolError("truncated MIDI file: the header is cut short");

  MidiSong song;
  song.format = bigEndian16(bytes + 8);
  const int declaredTracks = bigEndian16(bytes + 10);
  song.division = bigEndian16(bytes + 12);
  if (song.format == 2) {
    throw ToolError("MIDI format 2 (independent sequences) is not supported; use format 0 or 1");
  }
  if (song.format > 2) throw ToolError("unknown MIDI file format " + std::to_string(song.format));
  if (declaredTracks == 0) throw ToolError("malformed MIDI file: no tracks");
  if ((song.division & 0x8000u) == 0 ? song.division == 0 : (song.division & 0xFFu) == 0) {
    throw ToolError("malformed MIDI file: time division 0");
  }

  std::size_t offset = 8 + std::size_t{headerLength};
  int track = 0;
  while (track < declaredTracks) {
    if (size - offset < 8) {
      throw ToolError("truncated MIDI file: the header announces " + std::to_string(declaredTracks) +
                      " tracks, the file holds " + std::to_string(track));
    }
    const std::uint32_t chunkLength = bigEndian32(bytes + offset + 4);
    const bool isTrack = std::memcmp(bytes + offset, "MTrk", 4) == 0;
    offset += 8;
    if (size - offset < chunkLength) {
      throw ToolError("truncated MIDI file: " + std::string(isTrack ? "track " + std::to_string(track) : "a chunk") +
                      " runs past the end of the file");
    }
    if (isTrack) {
      TrackReader reader(bytes, offset, offset + chunkLength, track);
      readTrack(reader, track, song);
      ++track;
    }
    // Chunks of other kinds are skipped, as the file format asks.
    offset += chunkLength;
  }
  song.trackCount = track;

  std::stable_sort(song.messages.begin(), song.messages.end(),
                   [](const MidiMessage& a, const MidiMessage& b) { return a.tick < b.tick; });
  std::stable_sort(song.tempoChanges.begin(), song.tempoChanges.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  return song;
}

MidiSong readMidiFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw ToolError("cannot read MIDI file '" + path + "': " + std::strerror(errno));
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  std::size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + count);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) throw ToolError("cannot read MIDI file '" + path + "': read error");
  try {
    return parseMidiFile(bytes.data(), bytes.size());
  } catch (const ToolError& error) {
    throw ToolError("MIDI file '" + path + "': " + error.what());
  }
}

}  // namespace brume
