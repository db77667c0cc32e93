#include "sim/flash.h"

#include <QCommandLineParser>

#include "sim/unit.h"

namespace sim {

void flash_write_start(unit& u, std::span<const std::uint8_t, 8> f)
{
    u.flash.write_address = static_cast<std::uint32_t>(f[2] | (f[3] << 8) | (f[4] << 16));
}

void flash_data(unit& u, std::span<const std::uint8_t, 8>)
{
    u.flash.write_address += 8;
}

bool flash_command(unit&, std::span<const std::uint8_t, 8>)
{
    return false;
}

void add_flash_options(QCommandLineParser&)
{
}

bool apply_flash_options(const QCommandLineParser&, unit&, QString&)
{
    return true;
}

void finish_flash(unit&)
{
}

}  // namespace sim
