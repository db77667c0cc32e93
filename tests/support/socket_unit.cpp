#include "support/socket_unit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "sim/server.h"

namespace testing_support {

socket_units::socket_units()
{
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) {
        had_runtime_ = true;
        old_runtime_ = old;
    }
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().toStdString().c_str(), 1);
    ::mkdir(directory().c_str(), 0700);
}

socket_units::~socket_units()
{
    stop();
    if (had_runtime_) {
        ::setenv("XDG_RUNTIME_DIR", old_runtime_.c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}

std::string socket_units::directory() const
{
    return runtime_.path().toStdString() + "/zova3";
}

std::string socket_units::path(const std::string& name) const
{
    return directory() + "/" + name + ".sock";
}

sim::unit& socket_units::serve(const std::string& name, const sim::options& opt)
{
    sim::unit& u = units_.emplace_back();
    u.opt = opt;
    const int fd = sim::listen_on(path(name));
    fds_.push_back(fd);
    threads_.emplace_back([this, &u, fd] { sim::serve(u, fd, stop_, guard); });
    return u;
}

void socket_units::stop()
{
    stop_.store(true);
    for (std::thread& t : threads_) {
        t.join();
    }
    threads_.clear();
    for (int fd : fds_) {
        ::close(fd);
    }
    fds_.clear();
}

}  // namespace testing_support
