#pragma once
// A private JACK server for one test: jackd with the dummy driver (no sound
// card) under a name of its own, so that concurrent test runs never meet;
// $JACK_DEFAULT_SERVER points every client of the process and its children at it.

#include <sys/types.h>

#include <string>

namespace brume::test {

class JackServer {
 public:
  // True when jackd is on the PATH.
  static bool isInstalled();

  // Starts `jackd -n NAME -S -t 5000 -d dummy -r rate -p frames` and waits until a client can connect;
  // check running().
  explicit JackServer(int sampleRate = 48000, int frames = 256);
  // Stops the server (SIGTERM, then SIGKILL) and waits for it.
  ~JackServer();
  JackServer(const JackServer&) = delete;
  JackServer& operator=(const JackServer&) = delete;

  bool running() const { return pid > 0; }

  const std::string& name() const { return serverName; }
  const std::string& failure() const { return problem; }

 private:
  // A server of this name (to reclaim a killed one's registry entry).
  JackServer(const std::string& name, int sampleRate, int frames);
  void start(int sampleRate, int frames);
  void stop();

  pid_t pid = -1;
  std::string serverName;
  std::string problem;
};

}  // namespace brume::test
