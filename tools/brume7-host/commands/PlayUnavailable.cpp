// brume7-host play where the build has no JACK: the command is there to say so.

#include <string>
#include <vector>

#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

#ifdef _WIN32
const char kWhy[] = "the play command is Linux-only: it plays through JACK (use brume7-host render here)";
#else
const char kWhy[] = "this brume7-host was built without JACK (libjack-jackd2-dev): play is not available";
#endif

const char kPlayHelp[] =
    "Usage: brume7-host play [OPTIONS] [PLUGIN]\n"
    "\n"
    "Plays an instrument live as a JACK client. Linux builds with JACK only.\n";

int runPlay(const std::vector<std::string>&) { throw ToolError(kWhy); }

}  // namespace

const Command kPlayCommand = {"play", "play an instrument live through JACK (Linux only)", kPlayHelp, runPlay};

}  // namespace brume
