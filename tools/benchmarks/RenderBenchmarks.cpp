// How fast the instrument renders, as multiples of real time at 44.1 kHz.
// Run: build/tools/benchmarks/brume7-benchmarks (the label says which vector path ran)
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/ParameterIndex.h"
#include "engine/simd/VoiceKernel.h"
#include "instrument/Instrument.h"

namespace brume {
namespace {

constexpr int kSampleRate = 44100;
constexpr int kBlockSize = 512;

VstIntPtr BRUME_VSTCALL quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == kHostVersion) return 2400;
  if (opcode == kHostTempoAt) return 1200000;
  return 0;
}

struct HeldNotes {
  VstInt32 numEvents = 0;
  VstIntPtr reserved = 0;
  VstEvent* events[16] = {};
  VstMidiEvent midi[16] = {};
};

// Holds `notes` keys on a fresh instance, after `configure` set it up, and
// renders blocks for as long as the benchmark asks.
template <typename Configure>
void renderHeldNotes(benchmark::State& state, int notes, Configure configure) {
  Instrument instrument(&quietHost);
  // The benchmark's argument is the vector path; each runs only where the processor has it.
  const auto path = static_cast<KernelPath>(state.range(0));
  if (!instrument.setKernelPath(path)) {
    state.SkipWithError("the processor lacks this vector path");
    return;
  }
  state.SetLabel(kernelPathName(path));
  instrument.dispatcher(10, 0, 0, nullptr, static_cast<float>(kSampleRate));
  instrument.dispatcher(11, 0, kBlockSize, nullptr, 0.0f);
  instrument.dispatcher(12, 0, 1, nullptr, 0.0f);
  configure(instrument);

  HeldNotes list;
  list.numEvents = notes;
  for (int i = 0; i < notes; ++i) {
    list.midi[i].type = kMidiEventType;
    list.midi[i].midiData[0] = 0x90;
    list.midi[i].midiData[1] = static_cast<unsigned char>(36 + 3 * i);
    list.midi[i].midiData[2] = 100;
    list.events[i] = reinterpret_cast<VstEvent*>(&list.midi[i]);
  }
  instrument.receiveEvents(reinterpret_cast<VstEvents*>(&list));

  std::vector<float> left(kBlockSize), right(kBlockSize);
  float* outputs[] = {left.data(), right.data()};
  for (auto _ : state) {
    instrument.processReplacing(nullptr, outputs, kBlockSize);
    benchmark::DoNotOptimize(left.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlockSize);
  // Seconds of audio per second of rendering.
  state.counters["x realtime"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlockSize / kSampleRate,
                                                    benchmark::Counter::kIsRate);
}

// No voice sounds and the filter has come to rest.
void DefaultProgramSilent(benchmark::State& state) {
  renderHeldNotes(state, 0, [](Instrument&) {});
}

void DefaultProgramOneNote(benchmark::State& state) {
  renderHeldNotes(state, 1, [](Instrument&) {});
}

void DefaultProgramSixteenNotes(benchmark::State& state) {
  renderHeldNotes(state, 16, [](Instrument&) {});
}

// Three sines per oscillator on every oscillator, the filter and both LFOs.
// The third oscillator an octave up: no two oscillators share their waves.
void WorstCaseSixteenNotes(benchmark::State& state) {
  renderHeldNotes(state, 16, [](Instrument& instrument) {
    const float sin123 = 8.5f / 14.0f;
    for (VstInt32 shape : {kO1Shape, kO2Shape, kO3Shape}) instrument.setParameter(shape, sin123);
    instrument.setParameter(kOsc2, 0.0f);
    instrument.setParameter(kO3Vol, 1.0f);
    instrument.setParameter(kO3Pitch, 0.75f);
    instrument.setParameter(kLpFilter, 1.0f);
    instrument.setParameter(kLfo1, 1.0f);
    instrument.setParameter(kL1Per, 0.0f);
    instrument.setParameter(kL1Aim, 41.5f / 46.0f);  // Cutoff
    instrument.setParameter(kLfo2, 1.0f);
    instrument.setParameter(kL2Per, 0.1f);
    instrument.setParameter(kL2Aim, 1.5f / 46.0f);  // Pan
  });
}

// Every case on every vector path, widest first.
void everyPath(benchmark::internal::Benchmark* benchmark) {
  for (KernelPath path : {KernelPath::Avx512, KernelPath::Avx2, KernelPath::Sse2}) {
    benchmark->Arg(static_cast<int>(path));
  }
}

BENCHMARK(DefaultProgramSilent)->Apply(everyPath);
BENCHMARK(DefaultProgramOneNote)->Apply(everyPath);
BENCHMARK(DefaultProgramSixteenNotes)->Apply(everyPath);
BENCHMARK(WorstCaseSixteenNotes)->Apply(everyPath);

}  // namespace
}  // namespace brume

BENCHMARK_MAIN();
