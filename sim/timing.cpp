#include "sim/timing.h"

#include <QCommandLineParser>

#include "sim/unit.h"

namespace sim {

bool timing_command(unit&, std::span<const std::uint8_t, 8>)
{
    return false;
}

void add_timing_options(QCommandLineParser&)
{
}

bool apply_timing_options(const QCommandLineParser&, unit&, QString&)
{
    return true;
}

}  // namespace sim
