#pragma once
// SIGINT and SIGTERM as requests to stop a command that runs until told to
// (the editor, live play) instead of ending the process. Linux builds.

namespace brume {

class StopSignals {
 public:
  // Installs the handlers and clears an earlier request. Main thread.
  StopSignals();
  // Puts the previous handlers back.
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Whether Ctrl-C or SIGTERM arrived since construction. Any thread.
  static bool requested();
};

}  // namespace brume
