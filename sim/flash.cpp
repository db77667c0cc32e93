#include "sim/flash.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

#include "devicelink/commands.h"
#include "sim/options.h"
#include "sim/unit.h"

namespace sim {

namespace {

using devicelink::code_status_poll;
using devicelink::code_erase_sector;
using devicelink::code_erase_block;
using devicelink::code_checksum_request;
using devicelink::code_mcu_write;
constexpr std::uint32_t address_mask = flash_size - 1;

std::uint32_t get24(std::span<const std::uint8_t, 8> f, std::size_t first)
{
    return static_cast<std::uint32_t>(f[first] | (f[first + 1] << 8) | (f[first + 2] << 16));
}

std::vector<std::uint8_t>& memory(unit& u)
{
    if (u.flash.memory.empty()) {
        u.flash.memory.assign(flash_size, 0xFF);
    }
    return u.flash.memory;
}

void erase(unit& u, std::uint32_t address, std::uint32_t size)
{
    const std::uint32_t start = address & address_mask & ~(size - 1);
    auto& m = memory(u);
    std::fill_n(m.begin() + start, size, 0xFF);
}

// The answer to an erase and to the end of the data: the program reads it and
// never looks at it, but a real unit sends one.
void acknowledge(unit& u, std::uint8_t code)
{
    const std::array<std::uint8_t, 2> answer{code, 0x01};
    reply(u, answer);
}

void answer_poll(unit& u)
{
    flash_state& s = u.flash;
    if (s.checksum_pending && !s.never_ready) {
        if (s.polls_left == 0) {
            const std::array<std::uint8_t, 3> ready{0x01, static_cast<std::uint8_t>(s.checksum & 0xFF),
                                                    static_cast<std::uint8_t>(s.checksum >> 8)};
            reply(u, ready);
            return;
        }
        --s.polls_left;
    }
    const std::array<std::uint8_t, 1> not_ready{0x00};
    reply(u, not_ready);
}

}  // namespace

std::uint8_t flash_byte(const unit& u, std::uint32_t address)
{
    return u.flash.memory.empty() ? 0xFF : u.flash.memory[address & address_mask];
}

std::vector<std::uint8_t> flash_bytes(const unit& u, std::uint32_t address, std::uint32_t count)
{
    std::vector<std::uint8_t> out(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        out[i] = flash_byte(u, address + i);
    }
    return out;
}

std::uint16_t flash_sum(const unit& u, std::uint32_t address, std::uint32_t count)
{
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        sum += flash_byte(u, address + i);
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

void flash_write_start(unit& u, std::span<const std::uint8_t, 8> f)
{
    u.flash.write_address = get24(f, 2);
    u.flash.checksum_pending = false;
}

void flash_data(unit& u, std::span<const std::uint8_t, 8> f)
{
    flash_state& s = u.flash;
    auto& m = memory(u);
    for (std::uint8_t value : f) {
        const std::uint32_t a = s.write_address & address_mask;
        // NOR programming can only clear bits: writing over data that was not
        // erased leaves a mix of both.
        m[a] &= value;
        if (s.corrupt_address && *s.corrupt_address == a) {
            m[a] ^= 0x01;
        }
        s.write_address = (s.write_address + 1) & address_mask;
    }
    if (u.data_frames_left == 0) {
        acknowledge(u, 0x01);
    }
}

bool flash_command(unit& u, std::span<const std::uint8_t, 8> f)
{
    flash_state& s = u.flash;
    switch (f[0]) {
    case code_status_poll:
        answer_poll(u);
        return true;
    case code_erase_sector:
    case code_erase_block:
        s.checksum_pending = false;
        erase(u, get24(f, 2), f[0] == code_erase_block ? flash_block_size : flash_sector_size);
        acknowledge(u, f[0]);
        return true;
    case code_checksum_request:
        s.checksum = flash_sum(u, get24(f, 2), get24(f, 5));
        s.checksum_pending = true;
        s.polls_left = s.polls_before_ready;
        return true;
    case code_mcu_write: {
        std::array<std::uint8_t, 8> copy{};
        std::copy(f.begin(), f.end(), copy.begin());
        s.mcu_writes.push_back(copy);
        return true;
    }
    default:
        return false;
    }
}

bool load_flash(unit& u, const std::string& path, QString& error)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = QString("cannot read the flash file %1").arg(file.fileName());
        return false;
    }
    if (file.size() > flash_size) {
        error = QString("the flash file %1 is larger than 16 MiB").arg(file.fileName());
        return false;
    }
    const QByteArray content = file.readAll();
    auto& m = memory(u);
    std::fill(m.begin(), m.end(), 0xFF);
    std::copy(content.begin(), content.end(), m.begin());
    return true;
}

bool save_flash(const unit& u, const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const auto& m = u.flash.memory;
    // Trailing erased bytes are left out: loading fills them in again.
    const auto last = std::find_if(m.rbegin(), m.rend(), [](std::uint8_t b) { return b != 0xFF; });
    const auto length = static_cast<qint64>(m.rend() - last);
    return file.write(reinterpret_cast<const char*>(m.data()), length) == length;
}

void add_flash_options(QCommandLineParser& parser)
{
    parser.addOptions({
        {"flash", "Load the flash from this file at start (when it exists) and save it there at the end.", "file"},
        {"flash-polls", "Status polls answered \"not ready\" before the checksum (default 0).", "n"},
        {"flash-never-ready", "Never report a checksum as ready."},
        {"flash-corrupt-at", "Program the byte at this flash address wrongly.", "address"},
    });
}

bool apply_flash_options(const QCommandLineParser& parser, unit& u, QString& error)
{
    flash_state& s = u.flash;
    if (!option_number(parser, "flash-polls", 0xFFFFFFFF, s.polls_before_ready, error)) {
        return false;
    }
    if (parser.isSet("flash-corrupt-at")) {
        std::uint32_t a = 0;
        if (!option_number(parser, "flash-corrupt-at", address_mask, a, error)) {
            return false;
        }
        s.corrupt_address = a;
    }
    s.never_ready = parser.isSet("flash-never-ready");
    if (parser.isSet("flash")) {
        s.file = parser.value("flash").toStdString();
        if (QFileInfo::exists(QString::fromStdString(s.file)) && !load_flash(u, s.file, error)) {
            return false;
        }
    }
    return true;
}

void finish_flash(unit& u)
{
    if (!u.flash.file.empty() && !save_flash(u, u.flash.file)) {
        std::fprintf(stderr, "zova3-sim: cannot save the flash to %s\n", u.flash.file.c_str());
    }
}

}  // namespace sim
