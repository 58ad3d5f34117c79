#include "tests/sounds/SoundRender.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "tests/support/MidiEvents.h"
#include "tools/sound-library/ReferencePhrase.h"

namespace brume::test {
namespace {

constexpr int kBlockSize = 512;
constexpr int kFrame = 1024;
constexpr int kBands = 24;
constexpr double kPi = 3.14159265358979323846;

struct TimedEvent {
  int sample;
  VstMidiEvent event;
};

std::vector<TimedEvent> phraseEvents(int& phraseEnd) {
  const double samplesPerBeat = kLibrarySampleRate * 60.0 / sounds::kPhraseTempo;
  std::vector<TimedEvent> events;
  for (const auto& note : sounds::referencePhrase()) {
    const auto key = static_cast<unsigned char>(note.key);
    const int on = static_cast<int>(std::lround(note.startBeat * samplesPerBeat));
    const int off = static_cast<int>(std::lround((note.startBeat + note.lengthBeats) * samplesPerBeat));
    events.push_back({on, midiEvent(0x90, key, static_cast<unsigned char>(note.velocity))});
    events.push_back({off, midiEvent(0x80, key, 0)});
  }
  std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
    return a.sample != b.sample ? a.sample < b.sample : a.event.midiData[0] < b.event.midiData[0];
  });
  phraseEnd = events.back().sample;
  return events;
}

void fft(std::vector<std::complex<double>>& x) {
  const std::size_t n = x.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  for (std::size_t length = 2; length <= n; length <<= 1) {
    const double angle = -2.0 * kPi / static_cast<double>(length);
    const std::complex<double> step(std::cos(angle), std::sin(angle));
    for (std::size_t start = 0; start < n; start += length) {
      std::complex<double> w(1.0);
      for (std::size_t k = 0; k < length / 2; ++k) {
        const auto even = x[start + k];
        const auto odd = x[start + k + length / 2] * w;
        x[start + k] = even + odd;
        x[start + k + length / 2] = even - odd;
        w *= step;
      }
    }
  }
}

double decibels(double power) { return 10.0 * std::log10(std::max(power, 1e-20)); }

}  // namespace

SoundRender renderProgram(PluginModule& module, const PresetFile& bank, int program, int tailSamples) {
  SoundRender render;
  const auto events = phraseEvents(render.phraseEnd);
  AEffect* effect = module.open();
  if (!effect) return render;
  call(effect, 10, 0, 0, nullptr, static_cast<float>(kLibrarySampleRate));
  call(effect, 11, 0, kBlockSize);
  for (std::size_t p = 0; p < bank.programs.size(); ++p) {
    call(effect, 2, 0, static_cast<VstIntPtr>(p));
    std::string name = bank.programs[p].name;
    call(effect, 4, 0, 0, name.data());
    for (std::size_t i = 0; i < bank.programs[p].values.size(); ++i)
      effect->setParameter(effect, static_cast<VstInt32>(i), bank.programs[p].values[i]);
  }
  call(effect, 2, 0, program);
  call(effect, 12, 0, 1);

  const int total = render.phraseEnd + tailSamples;
  render.left.resize(static_cast<std::size_t>(total));
  render.right.resize(static_cast<std::size_t>(total));
  std::vector<float> input(kBlockSize, 0.0f);
  std::size_t next = 0;
  MidiEventList list;
  for (int start = 0; start < total; start += kBlockSize) {
    const int frames = std::min(kBlockSize, total - start);
    std::vector<VstMidiEvent> block;
    for (; next < events.size() && events[next].sample < start + frames; ++next) {
      VstMidiEvent event = events[next].event;
      event.deltaFrames = events[next].sample - start;
      block.push_back(event);
    }
    if (!block.empty()) {
      list.set(block);
      call(effect, 25, 0, 0, list.list());
    }
    float* inputs[] = {input.data()};
    float* outputs[] = {render.left.data() + start, render.right.data() + start};
    effect->processReplacing(effect, inputs, outputs, frames);
  }
  call(effect, 12, 0, 0);
  call(effect, 1);
  return render;
}

SoundFigures measure(const SoundRender& render) {
  SoundFigures figures;
  double peak = 0.0, energy = 0.0;
  int last = -1;
  const double silence = std::pow(10.0, kSilenceDb / 20.0);
  for (std::size_t i = 0; i < render.left.size(); ++i) {
    const double l = render.left[i], r = render.right[i];
    if (!std::isfinite(l) || !std::isfinite(r)) figures.finite = false;
    const double level = std::max(std::fabs(l), std::fabs(r));
    peak = std::max(peak, level);
    if (level > silence) last = static_cast<int>(i);
    if (static_cast<int>(i) < render.phraseEnd) energy += (l * l + r * r) / 2.0;
  }
  figures.peakDb = 20.0 * std::log10(std::max(peak, 1e-10));
  figures.rmsDb = decibels(energy / render.phraseEnd);
  figures.tailSamples = std::max(0, last + 1 - render.phraseEnd);
  return figures;
}

std::vector<float> bandPicture(const SoundRender& render) {
  const int length = std::min<int>(static_cast<int>(render.left.size()), render.phraseEnd + kLibrarySampleRate / 4);
  double edges[kBands + 1];
  for (int b = 0; b <= kBands; ++b) edges[b] = 40.0 * std::pow(18000.0 / 40.0, static_cast<double>(b) / kBands);
  std::vector<float> picture;
  std::vector<std::complex<double>> frame(kFrame);
  for (int start = 0; start + kFrame <= length; start += kFrame) {
    for (int i = 0; i < kFrame; ++i) {
      const double window = 0.5 - 0.5 * std::cos(2.0 * kPi * i / kFrame);
      frame[i] = window * 0.5 * (render.left[start + i] + render.right[start + i]);
    }
    fft(frame);
    double bands[kBands] = {};
    for (int bin = 1; bin < kFrame / 2; ++bin) {
      const double frequency = static_cast<double>(bin) * kLibrarySampleRate / kFrame;
      const int band = static_cast<int>(std::upper_bound(edges, edges + kBands + 1, frequency) - edges) - 1;
      if (band >= 0 && band < kBands) bands[band] += std::norm(frame[bin]);
    }
    for (double power : bands) picture.push_back(static_cast<float>(decibels(power)));
  }
  const float loudest = picture.empty() ? 0.0f : *std::max_element(picture.begin(), picture.end());
  for (float& cell : picture) cell = std::max(cell - loudest, -60.0f);
  return picture;
}

double pictureDistance(const std::vector<float>& a, const std::vector<float>& b) {
  const std::size_t n = std::min(a.size(), b.size());
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) sum += std::fabs(static_cast<double>(a[i]) - b[i]);
  return n == 0 ? 0.0 : sum / static_cast<double>(n);
}

int envelopeBound(const std::vector<float>& values) {
  auto length = [&](int index, double scale) {
    const double v = values[static_cast<std::size_t>(index)];
    return static_cast<int>(v * v * scale) + 1;
  };
  return length(18, 20000.0) + length(19, 10000.0) + length(21, 100000.0);
}

}  // namespace brume::test
