// Virtual units served over real sockets in a private runtime directory.
#pragma once

#include <QTemporaryDir>

#include <atomic>
#include <list>
#include <mutex>
#include <string>
#include <thread>

#include "sim/unit.h"

namespace testing_support {

// Points XDG_RUNTIME_DIR at a fresh directory for the life of the object and
// serves units there, each in a thread of its own.
class socket_units {
public:
    socket_units();
    ~socket_units();
    // A unit served as <name>.sock, owned here so that it outlives its server.
    sim::unit& serve(const std::string& name, const sim::options& opt = {});
    std::string path(const std::string& name) const;
    std::string directory() const;
    // Stops every server and waits for them (the units may then be inspected freely).
    void stop();
    std::mutex guard;

private:
    QTemporaryDir runtime_;
    std::string old_runtime_;
    bool had_runtime_ = false;
    std::atomic<bool> stop_{false};
    std::list<std::thread> threads_;
    std::list<int> fds_;
    std::list<sim::unit> units_;
};

}  // namespace testing_support
