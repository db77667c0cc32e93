// Virtual units: programs that stand in for a unit and are reached over Unix
// SOCK_SEQPACKET sockets in a per-user directory. The unit speaks first with a
// 10-byte greeting; after it, every message is one whole report.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct sockaddr_un;

namespace devicelink {

struct greeting {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::uint16_t version = 0;
    std::uint16_t input_length = 0;   // report ID byte included
    std::uint16_t output_length = 0;  // report ID byte included
};

inline constexpr std::size_t greeting_size = 10;

std::array<std::uint8_t, greeting_size> encode_greeting(const greeting& g);
std::optional<greeting> decode_greeting(std::span<const std::uint8_t> message);

// The directory in which virtual units live: $XDG_RUNTIME_DIR/zova3 when that
// variable is set and not empty, else /tmp/zova3-<uid>.
std::string virtual_unit_directory();
// Whether the directory may be trusted: under /tmp another account could
// otherwise plant a unit there.
bool virtual_unit_directory_trusted(const std::string& directory);
// A SOCK_SEQPACKET socket with its Unix address set to path, not yet bound or
// connected; -1 when the path is too long or no socket can be had.
int seqpacket_socket(const std::string& path, sockaddr_un& address);

// The unit sockets (names ending in ".sock"), in ascending byte order of name.
std::vector<std::string> list_virtual_units();

}  // namespace devicelink
