#include "devicelink/virtual_units.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace devicelink {

namespace {

void put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint16_t get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

bool runtime_dir_set()
{
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    return xdg != nullptr && xdg[0] != '\0';
}

}  // namespace

std::array<std::uint8_t, greeting_size> encode_greeting(const greeting& g)
{
    std::array<std::uint8_t, greeting_size> m{};
    put16(&m[0], g.vendor);
    put16(&m[2], g.product);
    put16(&m[4], g.version);
    put16(&m[6], g.input_length);
    put16(&m[8], g.output_length);
    return m;
}

std::optional<greeting> decode_greeting(std::span<const std::uint8_t> m)
{
    if (m.size() != greeting_size) {
        return std::nullopt;
    }
    return greeting{get16(&m[0]), get16(&m[2]), get16(&m[4]), get16(&m[6]), get16(&m[8])};
}

std::string virtual_unit_directory()
{
    if (runtime_dir_set()) {
        return std::string(std::getenv("XDG_RUNTIME_DIR")) + "/zova3";
    }
    return "/tmp/zova3-" + std::to_string(::getuid());
}

bool virtual_unit_directory_trusted(const std::string& directory)
{
    struct stat st {};
    if (::lstat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    if (runtime_dir_set()) {
        return true;
    }
    return st.st_uid == ::getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

int seqpacket_socket(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
}

std::vector<std::string> list_virtual_units()
{
    std::vector<std::string> names;
    const std::string directory = virtual_unit_directory();
    if (!virtual_unit_directory_trusted(directory)) {
        return names;
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".sock")) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    for (std::string& name : names) {
        name = directory + "/" + name;
    }
    return names;
}

}  // namespace devicelink
