#include "host/PresetFile.h"

#include <algorithm>
#include <cstring>

#include "host/HostRecords.h"

namespace brume {
namespace {

constexpr std::int32_t kChunkMagic = fourCharacterCode('C', 'c', 'n', 'K');
constexpr std::int32_t kProgramList = fourCharacterCode('F', 'x', 'C', 'k');
constexpr std::int32_t kProgramChunk = fourCharacterCode('F', 'P', 'C', 'h');
constexpr std::int32_t kBankList = fourCharacterCode('F', 'x', 'B', 'k');
constexpr std::int32_t kBankChunk = fourCharacterCode('F', 'B', 'C', 'h');

constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kNameSize = 28;
constexpr std::size_t kBankReservedSize = 128;
constexpr std::size_t kProgramListHeaderSize = kHeaderSize + kNameSize;       // 56
constexpr std::size_t kBankListHeaderSize = kHeaderSize + kBankReservedSize;  // 156
constexpr std::size_t kProgramChunkHeaderSize = kProgramListHeaderSize + 4;   // 60
constexpr std::size_t kBankChunkHeaderSize = kBankListHeaderSize + 4;         // 160

std::uint32_t readWord(const std::uint8_t* at) {
  return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) | (std::uint32_t{at[2]} << 8) | at[3];
}

std::int32_t readInt(const std::uint8_t* at) { return static_cast<std::int32_t>(readWord(at)); }

float readFloat(const std::uint8_t* at) {
  const std::uint32_t bits = readWord(at);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::uint32_t swapped(std::uint32_t word) {
  return (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
}

// Some writers store the tags little-endian.
bool isTag(const std::uint8_t* at, std::int32_t tag) {
  const std::uint32_t word = readWord(at);
  return word == static_cast<std::uint32_t>(tag) || word == swapped(static_cast<std::uint32_t>(tag));
}

std::string readName(const std::uint8_t* at) {
  std::size_t length = 0;
  while (length < kNameSize && at[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(at), length);
}

class Writer {
 public:
  void word(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  void integer(std::int32_t value) { word(static_cast<std::uint32_t>(value)); }
  void real(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    word(bits);
  }
  void name(const std::string& text) {
    for (std::size_t i = 0; i < kNameSize; ++i)
      bytes.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : std::uint8_t{0});
  }
  void zeros(std::size_t count) { bytes.insert(bytes.end(), count, std::uint8_t{0}); }
  void data(const std::vector<std::uint8_t>& block) { bytes.insert(bytes.end(), block.begin(), block.end()); }
  // The header; its byte-size field is filled in by finishRecord.
  std::size_t header(std::int32_t kind, std::int32_t version, std::int32_t id, std::int32_t pluginVersion,
                     std::int32_t count) {
    const std::size_t start = bytes.size();
    integer(kChunkMagic);
    integer(0);
    integer(kind);
    integer(version);
    integer(id);
    integer(pluginVersion);
    integer(count);
    return start;
  }
  void finishRecord(std::size_t start) {
    const std::uint32_t size = static_cast<std::uint32_t>(bytes.size() - start - 8);
    for (int i = 0; i < 4; ++i) bytes[start + 4 + i] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
  }

  std::vector<std::uint8_t> bytes;
};

// A program file keeps the file's format version; a bank's records are version 1.
void writeProgramList(Writer& out, const PresetFile& file, const PresetProgram& program, std::int32_t count,
                      std::int32_t version) {
  const std::size_t start = out.header(kProgramList, version, file.pluginId, file.pluginVersion, count);
  out.name(program.name);
  for (std::int32_t i = 0; i < count; ++i)
    out.real(static_cast<std::size_t>(i) < program.values.size() ? program.values[i] : 0.0f);
  out.finishRecord(start);
}

// One 'FxCk' record at `offset`; advances `offset` past it.
bool readProgramList(const std::uint8_t* data, std::size_t size, std::size_t& offset, PresetProgram& program,
                     std::int32_t& count, std::string& error) {
  if (size - offset < kProgramListHeaderSize) {
    error = "the file is truncated";
    return false;
  }
  const std::uint8_t* at = data + offset;
  if (!isTag(at, kChunkMagic) || !isTag(at + 8, kProgramList)) {
    error = "a program in the bank is not a parameter-list program";
    return false;
  }
  count = readInt(at + 24);
  if (count < 0 || static_cast<std::size_t>(count) > (size - offset - kProgramListHeaderSize) / 4) {
    error = count < 0 ? "the file gives a negative parameter count" : "the file is truncated";
    return false;
  }
  program.name = readName(at + kHeaderSize);
  program.values.resize(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) program.values[i] = readFloat(at + kProgramListHeaderSize + 4 * i);
  offset += kProgramListHeaderSize + 4 * static_cast<std::size_t>(count);
  return true;
}

bool readChunk(const std::uint8_t* data, std::size_t size, std::size_t headerSize, PresetFile& file,
               std::string& error) {
  if (size < headerSize) {
    error = "the file is truncated";
    return false;
  }
  const std::uint32_t chunkSize = readWord(data + headerSize - 4);
  if (chunkSize != size - headerSize) {
    error = chunkSize > size - headerSize ? "the file is truncated" : "the file is longer than its chunk";
    return false;
  }
  file.chunk.assign(data + headerSize, data + size);
  return true;
}

}  // namespace

bool readPresetFile(const std::uint8_t* data, std::size_t size, PresetFile& file, std::string& error) {
  file = PresetFile{};
  if (size < kHeaderSize) {
    error = "the file is too short for a preset file";
    return false;
  }
  if (!isTag(data, kChunkMagic)) {
    error = "not a VST preset file (no 'CcnK' magic)";
    return false;
  }
  file.formatVersion = readInt(data + 12);
  file.pluginId = readInt(data + 16);
  file.pluginVersion = readInt(data + 20);
  file.count = readInt(data + 24);
  if (file.count < 0) {
    error = "the file gives a negative count";
    return false;
  }

  if (isTag(data + 8, kProgramList)) {
    file.kind = PresetKind::Program;
    std::size_t offset = 0;
    file.programs.resize(1);
    std::int32_t count = 0;
    if (!readProgramList(data, size, offset, file.programs[0], count, error)) return false;
    if (offset != size) {
      error = "the file is longer than its parameters";
      return false;
    }
    return true;
  }
  if (isTag(data + 8, kProgramChunk)) {
    file.kind = PresetKind::Program;
    file.layout = PresetLayout::OpaqueChunk;
    if (size < kProgramChunkHeaderSize) {
      error = "the file is truncated";
      return false;
    }
    file.programs.resize(1);
    file.programs[0].name = readName(data + kHeaderSize);
    return readChunk(data, size, kProgramChunkHeaderSize, file, error);
  }

  const bool listBank = isTag(data + 8, kBankList);
  if (!listBank && !isTag(data + 8, kBankChunk)) {
    error = "not a VST preset file (unknown kind)";
    return false;
  }
  file.kind = PresetKind::Bank;
  if (size < kBankListHeaderSize) {
    error = "the file is truncated";
    return false;
  }
  if (file.formatVersion >= 2) file.currentProgram = readInt(data + kHeaderSize);
  if (!listBank) {
    file.layout = PresetLayout::OpaqueChunk;
    return readChunk(data, size, kBankChunkHeaderSize, file, error);
  }
  // Every program record is at least a header and a name: the count cannot promise more.
  if (static_cast<std::size_t>(file.count) > (size - kBankListHeaderSize) / kProgramListHeaderSize) {
    error = "the file is truncated";
    return false;
  }
  file.programs.resize(static_cast<std::size_t>(file.count));
  std::size_t offset = kBankListHeaderSize;
  std::int32_t firstCount = -1;
  for (PresetProgram& program : file.programs) {
    std::int32_t count = 0;
    if (!readProgramList(data, size, offset, program, count, error)) return false;
    if (firstCount >= 0 && count != firstCount) {
      error = "the bank's programs have different parameter counts";
      return false;
    }
    firstCount = count;
  }
  if (offset != size) {
    error = "the file is longer than its programs";
    return false;
  }
  return true;
}

std::vector<std::uint8_t> writePresetFile(const PresetFile& file) {
  Writer out;
  const PresetProgram none;
  const PresetProgram& first = file.programs.empty() ? none : file.programs.front();
  if (file.kind == PresetKind::Program) {
    if (file.layout == PresetLayout::ParameterList) {
      writeProgramList(out, file, first, static_cast<std::int32_t>(first.values.size()), file.formatVersion);
    } else {
      const std::size_t start =
          out.header(kProgramChunk, file.formatVersion, file.pluginId, file.pluginVersion, file.count);
      out.name(first.name);
      out.word(static_cast<std::uint32_t>(file.chunk.size()));
      out.data(file.chunk);
      out.finishRecord(start);
    }
    return out.bytes;
  }

  const bool listBank = file.layout == PresetLayout::ParameterList;
  const std::int32_t programCount = listBank ? static_cast<std::int32_t>(file.programs.size()) : file.count;
  const std::size_t start = out.header(listBank ? kBankList : kBankChunk, file.formatVersion, file.pluginId,
                                       file.pluginVersion, programCount);
  if (file.formatVersion >= 2) {
    out.integer(file.currentProgram);
    out.zeros(kBankReservedSize - 4);
  } else {
    out.zeros(kBankReservedSize);
  }
  if (listBank) {
    std::size_t parameters = 0;
    for (const PresetProgram& program : file.programs) parameters = std::max(parameters, program.values.size());
    for (const PresetProgram& program : file.programs)
      writeProgramList(out, file, program, static_cast<std::int32_t>(parameters), 1);
  } else {
    out.word(static_cast<std::uint32_t>(file.chunk.size()));
    out.data(file.chunk);
  }
  out.finishRecord(start);
  return out.bytes;
}

std::string pluginIdText(std::int32_t pluginId) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<std::uint32_t>(pluginId) >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) return std::to_string(pluginId);
    text += c;
  }
  return "'" + text + "'";
}

std::string presetMismatch(const PresetFile& file, std::int32_t pluginId, std::int32_t parameterCount,
                           std::int32_t programCount, bool takesChunks, bool anyPluginId) {
  if (!anyPluginId && file.pluginId != pluginId)
    return "the file is for the plug-in " + pluginIdText(file.pluginId) + ", not " + pluginIdText(pluginId);
  const bool program = file.kind == PresetKind::Program;
  if (file.layout == PresetLayout::OpaqueChunk) {
    if (!takesChunks) return "the file holds a chunk, and the plug-in takes parameter lists only";
    return "";
  }
  if (!program && file.count != programCount)
    return "the bank holds " + std::to_string(file.count) + " programs; the plug-in has " +
           std::to_string(programCount);
  for (const PresetProgram& entry : file.programs) {
    if (entry.values.size() != static_cast<std::size_t>(parameterCount))
      return "the file has " + std::to_string(entry.values.size()) + " parameters per program; the plug-in has " +
             std::to_string(parameterCount);
  }
  return "";
}

}  // namespace brume
