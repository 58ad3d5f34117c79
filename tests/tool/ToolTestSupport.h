#pragma once
// Helpers shared by the host tool's tests: Standard MIDI File bytes built by
// hand, paths of the test plug-ins, a temporary folder.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace brume::test {

using Bytes = std::vector<std::uint8_t>;

// A variable-length quantity as the file format writes it.
Bytes variableLength(std::uint32_t value);
// "MThd" with its 6 bytes.
Bytes midiHeader(int format, int tracks, int division);
// "MTrk", its length, then the events.
Bytes midiTrack(const Bytes& events);
// An event: delta time, then the bytes.
Bytes event(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes);
// A tempo meta event in microseconds per quarter note.
Bytes tempoEvent(std::uint32_t delta, std::uint32_t microsecondsPerQuarter);
Bytes endOfTrack(std::uint32_t delta = 0);
Bytes joined(std::initializer_list<Bytes> parts);

// A path compiled in from CMake, in the form this platform's file functions
// take (under Wine, "/x/y" becomes "Z:\x\y"). Empty stays empty.
std::string nativePath(const std::string& path);
bool fileExists(const std::string& path);

// Paths of the test plug-ins (empty when not built).
std::string probePluginPath();
std::string brokenPluginPath(int kind);  // 1 no entry, 2 entry answers null, 3 wrong magic
std::string brume7PluginPath();          // our own instrument, when this build has it
// Debian's dpf-plugins-vst instrument.
std::string karsPluginPath();
// The LV2 probe's bundle folder (empty when this build hosts no LV2 plug-ins).
std::string lv2ProbeBundlePath();

// An instrument the contract suites run against, in one format.
struct PluginCase {
  const char* name;      // for the test's name
  std::string location;  // a file, bundle folder or URI
  std::string missing;   // what to install when the location is not there; empty for our own
};
// True when the case's plug-in is there (a file, a folder, or an installed LV2 URI's bundle).
bool pluginCaseAvailable(const PluginCase& plugin);

// A folder of its own under the system's temporary folder, removed with its contents.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  std::string file(const std::string& name) const;
  const std::filesystem::path& path() const { return folder; }

 private:
  std::filesystem::path folder;
};

void writeFile(const std::string& path, const Bytes& bytes);

}  // namespace brume::test
