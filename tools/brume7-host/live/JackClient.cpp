#include "tools/brume7-host/live/JackClient.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

// libjack prints its own diagnostics; the tool says what went wrong in one line instead.
void quiet(const char*) {}

std::string serverDescription() {
  const char* name = std::getenv("JACK_DEFAULT_SERVER");
  return name != nullptr && *name != '\0' ? std::string("JACK server '") + name + "'" : "JACK server";
}

// Client names may not hold the port separator, and JACK limits their length.
std::string clientNameFor(const std::string& wanted) {
  std::string name = wanted.empty() ? "brume7-host" : wanted;
  for (char& c : name) {
    if (c == ':') c = '_';
  }
  const auto limit = static_cast<std::size_t>(jack_client_name_size() - 1);
  if (name.size() > limit - 4) name.resize(limit - 4);  // room for JACK's "-01"
  return name;
}

}  // namespace

JackClient::JackClient(const std::string& wanted) {
  jack_set_error_function(quiet);
  jack_set_info_function(quiet);
  jack_status_t status{};
  client = jack_client_open(clientNameFor(wanted).c_str(), JackNoStartServer, &status);
  if (client == nullptr) {
    if ((status & JackServerFailed) != 0 || (status & JackServerError) != 0) {
      throw ToolError("no " + serverDescription() +
                      " is running: start one (e.g. 'jackd -d alsa', or PipeWire's JACK with 'pw-jack "
                      "brume7-host play') and try again");
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%x", static_cast<unsigned>(status));
    throw ToolError("the " + serverDescription() + " refused the client (JACK status " + code + ")");
  }
}

JackClient::~JackClient() {
  deactivate();
  jack_client_close(client);
}

std::string JackClient::name() const { return jack_get_client_name(client); }
double JackClient::sampleRate() const { return jack_get_sample_rate(client); }
int JackClient::bufferSize() const { return static_cast<int>(jack_get_buffer_size(client)); }

jack_port_t* JackClient::registerPort(const std::string& shortName, const char* type, unsigned long flags) {
  jack_port_t* port = jack_port_register(client, shortName.c_str(), type, flags, 0);
  if (port == nullptr) throw ToolError("cannot make the JACK port '" + shortName + "'");
  return port;
}

void JackClient::activate() {
  if (jack_activate(client) != 0) throw ToolError("the " + serverDescription() + " did not activate the client");
  active = true;
}

void JackClient::deactivate() {
  if (!active) return;
  active = false;
  jack_deactivate(client);
}

void JackClient::requirePort(const std::string& port, const char* type, unsigned long direction,
                             const std::string& role) const {
  jack_port_t* found = jack_port_by_name(client, port.c_str());
  if (found == nullptr) {
    throw ToolError("no JACK port named '" + port + "' (jack_lsp lists the ports)");
  }
  const char* portType = jack_port_type(found);
  if (portType == nullptr || std::strcmp(portType, type) != 0 || (jack_port_flags(found) & direction) == 0) {
    throw ToolError("JACK port '" + port + "' is not " + role + " (jack_lsp -t -p shows its type and direction)");
  }
}

void JackClient::connect(const std::string& source, const std::string& destination) {
  const int result = jack_connect(client, source.c_str(), destination.c_str());
  if (result != 0 && result != EEXIST) {
    throw ToolError("cannot connect JACK port '" + source + "' to '" + destination + "'");
  }
}

std::vector<std::string> JackClient::physicalPorts(const char* type, unsigned long direction) const {
  std::vector<std::string> names;
  const char** ports = jack_get_ports(client, nullptr, type, JackPortIsPhysical | direction);
  if (ports == nullptr) return names;
  for (const char** port = ports; *port != nullptr; ++port) names.emplace_back(*port);
  jack_free(ports);
  return names;
}

}  // namespace brume
