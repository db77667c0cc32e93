// zova3-sim: a virtual ZOVA-3 unit on a socket, for trying the programs
// without a unit.
#include <QCommandLineParser>
#include <QCoreApplication>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <unistd.h>

#include "sim/options.h"
#include "sim/server.h"

namespace {

std::atomic<bool> stop_requested{false};

void on_signal(int)
{
    stop_requested.store(true);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zova3-sim");
    QCommandLineParser parser;
    parser.setApplicationDescription("A virtual ZOVA-3 unit served on a Unix socket.");
    parser.addHelpOption();
    sim::add_options(parser);
    parser.process(app);

    sim::unit u;
    QString error;
    const std::string socket_path = sim::apply_options(parser, u, error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "zova3-sim: %s\n", qPrintable(error));
        return 2;
    }

    const int listen_fd = sim::listen_on(socket_path);
    if (listen_fd < 0) {
        std::fprintf(stderr, "zova3-sim: cannot listen on %s\n", socket_path.c_str());
        return 1;
    }
    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    std::printf("zova3-sim: serving on %s\n", socket_path.c_str());
    std::fflush(stdout);

    std::mutex guard;
    sim::serve(u, listen_fd, stop_requested, guard);
    ::close(listen_fd);
    ::unlink(socket_path.c_str());
    sim::finish(u);
    return 0;
}
