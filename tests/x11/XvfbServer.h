#pragma once
// A private Xvfb server for one test: started on a free display number (Xvfb
// picks it itself), $DISPLAY pointed at it, stopped at the end.

#include <sys/types.h>

#include <string>

namespace brume::testing {

class XvfbServer {
 public:
  // True when an Xvfb program is on the PATH.
  static bool isInstalled();

  // Starts a 1024 x 768 screen of `depth` bits and sets $DISPLAY; check running().
  explicit XvfbServer(int depth = 24);
  // Stops the server if it still runs.
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool running() const { return pid > 0; }
  const std::string& displayName() const { return name; }  // ":N"
  const std::string& failure() const { return problem; }   // why it did not start
  // Ends the server and waits for it (a test of a lost connection).
  void stop();

 private:
  pid_t pid = -1;
  std::string name;
  std::string problem;
};

}  // namespace brume::testing
