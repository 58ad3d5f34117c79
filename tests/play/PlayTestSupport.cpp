#include "tests/play/PlayTestSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace brume::test {
namespace {

std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void putVariableLength(std::string& out, std::uint64_t value) {
  std::uint8_t bytes[10];
  int count = 0;
  bytes[count++] = value & 0x7F;
  while ((value >>= 7) != 0) bytes[count++] = static_cast<std::uint8_t>(0x80 | (value & 0x7F));
  while (count > 0) out += static_cast<char>(bytes[--count]);
}

void putBigEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::string& folder, const std::string& tag,
                           const std::vector<std::string>& environment)
    : outPath(folder + "/" + tag + ".out"), errPath(folder + "/" + tag + ".err") {
  pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    for (const std::string& entry : environment) {
      const auto equals = entry.find('=');
      if (equals == std::string::npos)
        unsetenv(entry.c_str());
      else
        setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
}

ChildProcess::~ChildProcess() {
  if (pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

int ChildProcess::wait(double seconds) {
  if (pid <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) != pid) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      pid = -1;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ChildProcess::waitForOutput(const std::string& text, double seconds) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (output().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void ChildProcess::signal(int number) {
  if (pid > 0) kill(pid, number);
}

std::string ChildProcess::output() const { return readWhole(outPath); }
std::string ChildProcess::errors() const { return readWhole(errPath); }

ScratchFolder::ScratchFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/brume7-play-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) folder = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

std::vector<std::string> ScratchFolder::entries() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

void writePeerEvents(const std::string& path, const std::vector<PhraseEvent>& events) {
  std::ofstream out(path);
  for (const PhraseEvent& event : events) {
    out << event.frame << ' ' << int(event.bytes[0]) << ' ' << int(event.bytes[1]) << ' ' << int(event.bytes[2])
        << '\n';
  }
}

void writeMidiFile(const std::string& path, const std::vector<PhraseEvent>& events) {
  std::string track;
  std::uint64_t previousTick = 0;
  for (const PhraseEvent& event : events) {
    const std::uint64_t tick = event.frame / 50;
    putVariableLength(track, tick - previousTick);
    previousTick = tick;
    track.append(reinterpret_cast<const char*>(event.bytes), 3);
  }
  track += std::string("\x00\xFF\x2F\x00", 4);
  std::string file = "MThd";
  putBigEndian(file, 6, 4);
  putBigEndian(file, 0, 2);
  putBigEndian(file, 1, 2);
  putBigEndian(file, 480, 2);
  file += "MTrk";
  putBigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
  file += track;
  std::ofstream(path, std::ios::binary) << file;
}

std::vector<float> readRawStereo(const std::string& path) {
  const std::string bytes = readWhole(path);
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(samples.size() * sizeof(float)),
            reinterpret_cast<char*>(samples.data()));
  return samples;
}

std::int64_t firstSoundingFrame(const std::vector<float>& samples, int channels) {
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (samples[i] != 0.0f) return static_cast<std::int64_t>(i) / channels;
  }
  return -1;
}

std::string compareFrames(const std::vector<float>& a, std::int64_t aFrom, const std::vector<float>& b,
                          std::int64_t bFrom, std::int64_t frames, int channels) {
  if ((aFrom + frames) * channels > static_cast<std::int64_t>(a.size()) ||
      (bFrom + frames) * channels > static_cast<std::int64_t>(b.size())) {
    return "fewer frames than compared";
  }
  for (std::int64_t frame = 0; frame < frames; ++frame) {
    for (int channel = 0; channel < channels; ++channel) {
      const float x = a[static_cast<std::size_t>((aFrom + frame) * channels + channel)];
      const float y = b[static_cast<std::size_t>((bFrom + frame) * channels + channel)];
      if (x != y) {
        char text[160];
        std::snprintf(text, sizeof text, "frame %lld channel %d: %.9g, expected %.9g", static_cast<long long>(frame),
                      channel, static_cast<double>(x), static_cast<double>(y));
        return text;
      }
    }
  }
  return "";
}

double rms(const std::vector<float>& samples, int channels, std::int64_t from, std::int64_t to) {
  double sum = 0.0;
  std::int64_t count = 0;
  for (std::int64_t i = from * channels; i < to * channels && i < static_cast<std::int64_t>(samples.size()); ++i) {
    sum += static_cast<double>(samples[static_cast<std::size_t>(i)]) * samples[static_cast<std::size_t>(i)];
    ++count;
  }
  return count > 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

std::vector<float> channel(const std::vector<float>& samples, int channels, int index) {
  std::vector<float> one;
  for (std::size_t i = static_cast<std::size_t>(index); i < samples.size(); i += static_cast<std::size_t>(channels)) {
    one.push_back(samples[i]);
  }
  return one;
}

}  // namespace brume::test
