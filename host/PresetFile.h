#pragma once
// VST 2 preset files: '.fxp' holds one program, '.fxb' a bank, each either as
// a parameter list (a name and one float per parameter) or as an opaque chunk
// that the plug-in itself made. Every field is big-endian, as all hosts write
// them. Reading and writing work on bytes in memory; callers do the file I/O.
// Any thread; not real-time safe (allocates).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brume {

enum class PresetKind { Program, Bank };
enum class PresetLayout { ParameterList, OpaqueChunk };

struct PresetProgram {
  std::string name;           // up to 28 bytes in a file
  std::vector<float> values;  // one per parameter; empty in an opaque program
};

struct PresetFile {
  PresetKind kind = PresetKind::Program;
  PresetLayout layout = PresetLayout::ParameterList;
  std::int32_t formatVersion = 1;  // a bank of version 2 carries currentProgram
  std::int32_t pluginId = 0;       // the plug-in's unique id, e.g. 'BRM7'
  std::int32_t pluginVersion = 0;
  // The header's count: parameters of a program file, programs of a bank file.
  std::int32_t count = 0;
  // A bank's current program (format version 2), else -1.
  std::int32_t currentProgram = -1;
  // A parameter-list program: one; a parameter-list bank: `count`; an opaque
  // program: one, with its name only; an opaque bank: none.
  std::vector<PresetProgram> programs;
  std::vector<std::uint8_t> chunk;  // the opaque layouts' data
};

// Parses a whole file. The byte-size field is not trusted (some hosts write 0);
// tags are accepted in either byte order. False with a one-line reason (and
// `file` unspecified) for anything that is not exactly one well-formed record:
// a wrong magic or kind, a truncated or oversized file, impossible counts.
bool readPresetFile(const std::uint8_t* data, std::size_t size, PresetFile& file, std::string& error);

// The bytes of a file; names are cut to 28 bytes. Parameter lists take their
// counts from `programs` (a bank pads shorter programs with 0); the opaque
// layouts write `count` and `chunk`.
std::vector<std::uint8_t> writePresetFile(const PresetFile& file);

// Why a file does not fit a plug-in with this id and these counts ("" when it
// fits): another plug-in's id (unless `anyPluginId`), a parameter or program
// count that differs, a chunk for a plug-in that takes none.
std::string presetMismatch(const PresetFile& file, std::int32_t pluginId, std::int32_t parameterCount,
                           std::int32_t programCount, bool takesChunks, bool anyPluginId);

// The four characters of an id for messages ('BRM7'), or its number when they are not printable.
std::string pluginIdText(std::int32_t pluginId);

}  // namespace brume
