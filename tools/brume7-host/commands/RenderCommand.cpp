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
    "a VST 2 or LV2 instrument, exactly as a host does, and writes the output to\n"
    "an audio file. VST 2: open, sample rate, block size, resume; then for each\n"
    "block the block's MIDI events as one list with sample-accurate delta frames\n"
    "(no list for a block without events), followed by processReplacing; suspend\n"
    "and close at the end. LV2: instantiate with the rate and block lengths as\n"
    "options, activate; then for each block the control ports, the block's MIDI\n"
    "events as one atom sequence with frame time stamps (with a time:Position in\n"
    "the first block where the plug-in takes one), and run; deactivate at the end.\n"
    "Both formats see the same blocks, events and parameter changes.\n"
    "\n"
    "The MIDI file's tempo changes set the timing; note on/off, controllers and\n"
    "the other channel messages go to the plug-in; system exclusive and meta\n"
    "events are skipped. Notes still held at the end of the file are released\n"
    "there. The render lasts until the last event plus the tail.\n"
    "\n"
    "Options:\n"
    "  -p, --plugin PLUGIN     the plug-in: a VST 2 module file, or an LV2 plug-in\n"
    "                          by URI or bundle folder (default: Brume7.so beside\n"
    "                          brume7-host; BRM7.dll on Windows)\n"
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
    "  --block FRAMES          block size (default 512), or a list of sizes such as\n"
    "                          64,17,300 taken in turn, block after block\n"
    "  --channels N            output channels written, from the plug-in's outputs\n"
    "                          (default 2; a mono plug-in fills every channel)\n"
    "  --bank FILE.fxb         load a VST 2 bank before rendering: each program\n"
    "                          selected, named and given its values (or the\n"
    "                          bank's chunk, for a plug-in whose programs travel\n"
    "                          as chunks), then the bank's current program\n"
    "                          selected (format version 2), else program 0\n"
    "  --program N             select program N before rendering, after --bank (an\n"
    "                          LV2 plug-in's through the KXStudio programs\n"
    "                          extension)\n"
    "  --preset FILE.fxp       load a VST 2 program into the current program,\n"
    "                          after --program: its name and values, or its chunk\n"
    "  --set NAME=VALUE        set a parameter before rendering; NAME is the\n"
    "                          parameter's name (any case), an LV2 port's symbol,\n"
    "                          or its index; VALUE 0..1 for VST 2, in the port's\n"
    "                          range for LV2 (its control inputs are the\n"
    "                          parameters); repeatable, applied after --preset\n"
    "  --force                 load preset files made for another plug-in's\n"
    "                          unique ID, and go on when the plug-in answers 0\n"
    "                          to a chunk (some answer 0 whatever they do)\n"
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
    "realtime (on standard error when the audio goes to standard output).\n"
    "A preset file of another plug-in, with other counts, of the wrong kind or\n"
    "damaged is refused in one line before the plug-in is changed; LV2 plug-ins\n"
    "take no preset files (.fxp and .fxb are VST 2 files).\n";

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
