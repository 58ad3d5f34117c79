#include <cstdio>

#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/render/RenderOptions.h"
#include "tools/brume7-host/render/RenderToFile.h"

namespace brume {
namespace {

const char kRenderHelp[] =
    "Usage: brume7-host render [OPTIONS] MIDIFILE\n"
    "       brume7-host render [OPTIONS] --demo\n"
    "       brume7-host render [OPTIONS] --input AUDIOFILE\n"
    "\n"
    "Plays a Standard MIDI File (format 0 or 1) or the built-in demo phrase through\n"
    "a VST 2 instrument, exactly as a host does (open, sample rate, block size,\n"
    "resume; then for each block the block's MIDI events as one list with\n"
    "sample-accurate delta frames (no list for a block without events),\n"
    "followed by processReplacing; suspend and close at the end), and writes\n"
    "the output to an audio file.\n"
    "\n"
    "The MIDI file's tempo changes set the timing; note on/off, controllers and\n"
    "the other channel messages go to the plug-in; system exclusive and meta\n"
    "events are skipped. Notes still held at the end of the file are released\n"
    "there. The render lasts until the last event plus the tail.\n"
    "\n"
    "Options:\n"
    "  -p, --plugin FILE       the plug-in (default: Brume7.so beside brume7-host;\n"
    "                          BRM7.dll on Windows)\n"
    "  --demo                  play the built-in phrase (chords, bass, melody, a\n"
    "                          held note, an arpeggio, and changes of the parameters\n"
    "                          named Cutoff and Pan where the plug-in has them),\n"
    "                          about 12 s at 120 BPM plus the tail\n"
    "  -o, --output FILE       the audio file to write (default: the MIDI file's name\n"
    "                          with .wav, or demo.wav); a name ending in .flac writes\n"
    "                          FLAC (Linux only), any other name WAV; '-' writes WAV\n"
    "                          to standard output\n"
    "  --format F              float, pcm16 or pcm24 (default: float; pcm24 for FLAC)\n"
    "  --rate HZ               sample rate (default 44100)\n"
    "  --block FRAMES          block size (default 512)\n"
    "  --channels N            output channels written, from the plug-in's outputs\n"
    "                          (default 2; a mono plug-in fills every channel)\n"
    "  --program N             select program N before rendering\n"
    "  --set NAME=VALUE        set a parameter before rendering; NAME is the\n"
    "                          parameter's name (any case) or index, VALUE 0..1;\n"
    "                          repeatable, applied in order after --program\n"
    "  --set-at SECONDS:NAME=VALUE\n"
    "                          change a parameter during the render, sample-\n"
    "                          accurately: the block holding that time is split\n"
    "                          there into two process calls; repeatable\n"
    "  --tail SECONDS          time rendered after the last event (default 2)\n"
    "  --length SECONDS        render exactly this long instead\n"
    "  --max-length SECONDS    refuse, before writing anything, a render that the\n"
    "                          song, its tail and the input would make longer than\n"
    "                          this (default 3600: one hour)\n"
    "  --tempo BPM             tempo reported to the plug-in, and the demo's tempo\n"
    "                          (default: the MIDI file's first tempo, else 120);\n"
    "                          a MIDI file's timing always follows its own tempo map\n"
    "  --input FILE            audio fed to the plug-in's input(s); its sample rate\n"
    "                          must equal --rate; input channel c takes file channel\n"
    "                          c modulo the file's channels; silence after its end;\n"
    "                          the render lasts at least as long as the file\n"
    "  --no-progress           no progress bar (it is drawn only on a terminal, for\n"
    "                          renders that take more than a second)\n"
    "  -h, --help              show this help\n"
    "\n"
    "A regular file is written under a temporary name in its folder and renamed\n"
    "when complete (a symbolic link's target is what gets replaced); on failure or\n"
    "on SIGINT, SIGTERM or SIGXFSZ nothing is left under the output name and an\n"
    "older file stays as it was. A device (such as /dev/null), a FIFO or a socket\n"
    "is written to directly, as a stream. A WAV file past 4 GiB is written as RF64\n"
    "(Linux; a stream or the Windows build refuses such a render before it starts).\n"
    "The first line printed gives the length and size of the render, the last one\n"
    "the length, the peak and RMS levels in dBFS and the render speed in times\n"
    "realtime (on standard error when the audio goes to standard output).\n";

int runRender(const std::vector<std::string>& arguments) {
  const RenderOptions options = parseRenderOptions(arguments);
  // With the audio on standard output, the messages go to standard error.
  std::FILE* messages = options.resolvedOutputPath() == "-" ? stderr : stdout;
  const RenderSummary summary = renderToFile(options, [messages](const std::string& line) {
    std::fprintf(messages, "%s\n", line.c_str());
    std::fflush(messages);
  });
  std::fprintf(messages, "%s\n", formatSummary(summary).c_str());
  return 0;
}

}  // namespace

const Command kRenderCommand = {"render", "play a MIDI file or the demo through a plug-in into an audio file",
                                kRenderHelp, runRender};

}  // namespace brume
