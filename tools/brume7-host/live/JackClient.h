#pragma once
// A JACK client of the tool's own: opened on a running server (never starting
// one), its ports, activation and connections, with errors a user can act on.

#include <string>
#include <vector>

#include <jack/jack.h>

namespace brume {

class JackClient {
 public:
  // Opens a client called `name` (JACK appends a number when it is taken) on
  // the server that $JACK_DEFAULT_SERVER names, else the default one. Throws
  // ToolError saying how to start a server when none runs. Main thread.
  explicit JackClient(const std::string& name);
  // Deactivates and closes the client.
  ~JackClient();

  JackClient(const JackClient&) = delete;
  JackClient& operator=(const JackClient&) = delete;

  jack_client_t* handle() const { return client; }
  // The name JACK gave the client.
  std::string name() const;
  double sampleRate() const;
  int bufferSize() const;

  // Registers a port of this client; throws ToolError. Main thread.
  jack_port_t* registerPort(const std::string& shortName, const char* type, unsigned long flags);
  void activate();
  void deactivate();

  // Connects an output port to an input port, by full name. Throws ToolError
  // naming the port when it does not exist or the two cannot be connected. Main thread.
  void connect(const std::string& source, const std::string& destination);
  // Throws ToolError unless `port` exists, carries `type` and has `direction`
  // (JackPortIsOutput or JackPortIsInput); `role` names it in the message.
  void requirePort(const std::string& port, const char* type, unsigned long direction, const std::string& role) const;
  // The physical ports of a type and direction, in JACK's order.
  std::vector<std::string> physicalPorts(const char* type, unsigned long direction) const;

 private:
  jack_client_t* client = nullptr;
  bool active = false;
};

}  // namespace brume
