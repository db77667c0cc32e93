// Serving a virtual unit on a SOCK_SEQPACKET socket, one connection at a time.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "sim/unit.h"

namespace sim {

// Creates the socket (replacing a stale one) and listens; -1 on failure.
int listen_on(const std::string& socket_path);
// Accepts connections on listen_fd until stop becomes true: greets each one,
// then answers its output reports. The unit is touched only with guard held.
void serve(unit& u, int listen_fd, const std::atomic<bool>& stop, std::mutex& guard);
// The default socket of zova3-sim in the virtual-unit directory, created
// (mode 0700) when it is missing.
std::string default_socket_path();

}  // namespace sim
