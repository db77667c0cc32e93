#include "sim/server.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "devicelink/virtual_units.h"

namespace sim {

namespace {

constexpr int poll_period_ms = 50;

void send_pending(unit& u, int fd)
{
    while (!u.replies.empty()) {
        const report& r = u.replies.front();
        ::send(fd, r.data(), r.size(), MSG_NOSIGNAL);
        u.replies.pop_front();
    }
}

// One connection, from greeting to close.
void converse(unit& u, int fd, const std::atomic<bool>& stop, std::mutex& guard)
{
    {
        std::lock_guard lock(guard);
        const auto greeting = devicelink::encode_greeting(
            {u.opt.vendor, u.opt.product, u.opt.version, u.opt.input_length, u.opt.output_length});
        if (::send(fd, greeting.data(), greeting.size(), MSG_NOSIGNAL) < 0) {
            return;
        }
        u.replies.clear();
    }
    std::vector<std::uint8_t> message(65536);
    while (!stop.load()) {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, poll_period_ms);
        if (r < 0 && errno != EINTR) {
            return;
        }
        if (r <= 0) {
            continue;
        }
        const ssize_t got = ::recv(fd, message.data(), message.size(), 0);
        if (got <= 0) {
            return;
        }
        std::lock_guard lock(guard);
        receive_output_report(u, {message.data(), static_cast<std::size_t>(got)});
        send_pending(u, fd);
    }
}

}  // namespace

int listen_on(const std::string& socket_path)
{
    sockaddr_un address{};
    const int fd = devicelink::seqpacket_socket(socket_path, address);
    if (fd < 0) {
        return -1;
    }
    ::unlink(socket_path.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    ::chmod(socket_path.c_str(), 0600);
    return fd;
}

void serve(unit& u, int listen_fd, const std::atomic<bool>& stop, std::mutex& guard)
{
    while (!stop.load()) {
        pollfd p{listen_fd, POLLIN, 0};
        const int r = ::poll(&p, 1, poll_period_ms);
        if (r < 0 && errno != EINTR) {
            return;
        }
        if (r <= 0) {
            continue;
        }
        const int fd = ::accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        converse(u, fd, stop, guard);
        ::close(fd);
    }
}

std::string default_socket_path()
{
    const std::string directory = devicelink::virtual_unit_directory();
    ::mkdir(directory.c_str(), 0700);
    return directory + "/zova3-sim.sock";
}

}  // namespace sim
