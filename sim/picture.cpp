#include "sim/picture.h"

#include <QCommandLineParser>

#include "sim/unit.h"

namespace sim {

bool picture_command(unit&, std::span<const std::uint8_t, 8>)
{
    return false;
}

void add_picture_options(QCommandLineParser&)
{
}

bool apply_picture_options(const QCommandLineParser&, unit&, QString&)
{
    return true;
}

}  // namespace sim
