#include "tests/tool/ToolTestSupport.h"
#include "BuildPaths.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define BRUME_TEST_PROCESS_ID _getpid()
#else
#include <unistd.h>
#define BRUME_TEST_PROCESS_ID getpid()
#endif

namespace brume::test {

Bytes variableLength(std::uint32_t value) {
  Bytes bytes{static_cast<std::uint8_t>(value & 0x7F)};
  while ((value >>= 7) != 0) bytes.insert(bytes.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
  return bytes;
}

Bytes midiHeader(int format, int tracks, int division) {
  return {'M',
          'T',
          'h',
          'd',
          0,
          0,
          0,
          6,
          static_cast<std::uint8_t>(format >> 8),
          static_cast<std::uint8_t>(format),
          static_cast<std::uint8_t>(tracks >> 8),
          static_cast<std::uint8_t>(tracks),
          static_cast<std::uint8_t>(division >> 8),
          static_cast<std::uint8_t>(division)};
}

Bytes midiTrack(const Bytes& events) {
  const auto length = static_cast<std::uint32_t>(events.size());
  // Built byte by byte: inserting into a list-initialised vector trips a false
  // -Warray-bounds in the 64-bit mingw g++ 12.
  Bytes bytes;
  bytes.reserve(8 + events.size());
  for (std::uint8_t byte : {std::uint8_t{'M'}, std::uint8_t{'T'}, std::uint8_t{'r'}, std::uint8_t{'k'},
                            static_cast<std::uint8_t>(length >> 24), static_cast<std::uint8_t>(length >> 16),
                            static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)})
    bytes.push_back(byte);
  for (std::uint8_t byte : events) bytes.push_back(byte);
  return bytes;
}

Bytes event(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes) {
  Bytes result = variableLength(delta);
  result.insert(result.end(), bytes);
  return result;
}

Bytes tempoEvent(std::uint32_t delta, std::uint32_t microsecondsPerQuarter) {
  return event(delta, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(microsecondsPerQuarter >> 16),
                       static_cast<std::uint8_t>(microsecondsPerQuarter >> 8),
                       static_cast<std::uint8_t>(microsecondsPerQuarter)});
}

Bytes endOfTrack(std::uint32_t delta) { return event(delta, {0xFF, 0x2F, 0x00}); }

Bytes joined(std::initializer_list<Bytes> parts) {
  Bytes result;
  for (const Bytes& part : parts) result.insert(result.end(), part.begin(), part.end());
  return result;
}

std::string nativePath(const std::string& path) {
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') {
    std::string converted = "Z:" + path;
    for (char& c : converted) {
      if (c == '/') c = '\\';
    }
    return converted;
  }
#endif
  return path;
}

bool fileExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

std::string probePluginPath() { return nativePath(BRUME_TEST_PROBE_PLUGIN); }

std::string brokenPluginPath(int kind) {
  switch (kind) {
    case 1:
      return nativePath(BRUME_TEST_NO_ENTRY_PLUGIN);
    case 2:
      return nativePath(BRUME_TEST_NULL_ENTRY_PLUGIN);
    default:
      return nativePath(BRUME_TEST_BAD_MAGIC_PLUGIN);
  }
}

std::string brume7PluginPath() { return nativePath(BRUME_TEST_BRUME7_PLUGIN); }

std::string karsPluginPath() { return "/usr/lib/vst/Kars-vst.so"; }

std::string lv2ProbeBundlePath() { return BRUME_TEST_LV2_PROBE_BUNDLE; }

bool pluginCaseAvailable(const PluginCase& plugin) {
  if (plugin.location.empty()) return false;
  // An LV2 URI of Debian's DPF plug-ins: its bundle is installed with them.
  const std::string distrho = "http://distrho.sf.net/plugins/";
  if (plugin.location.rfind(distrho, 0) == 0) {
    return fileExists("/usr/lib/lv2/" + plugin.location.substr(distrho.size()) + ".lv2/manifest.ttl");
  }
  std::error_code error;
  return std::filesystem::exists(plugin.location, error);
}

TemporaryFolder::TemporaryFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  folder = std::filesystem::temp_directory_path() / ("brume7-host-test-" + std::to_string(BRUME_TEST_PROCESS_ID) + "-" +
                                                     std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(folder);
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code error;
  std::filesystem::remove_all(folder, error);
}

std::string TemporaryFolder::file(const std::string& name) const { return (folder / name).string(); }

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream stream(path, std::ios::binary);
  stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace brume::test
