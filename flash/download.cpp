#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "devicelink/tick_clock.h"
#include "devicelink/twips.h"
#include "flash/flash.h"

namespace flash {

std::int32_t flash_address = 0;
std::array<std::uint8_t, image_buffer_size> image_buffer{};

namespace {

constexpr qint64 chunk_size = 0x10000;

QString hex(std::uint32_t v)
{
    return QString::number(v, 16).toUpper();
}

QString hex4(std::uint32_t v)
{
    return (QStringLiteral("000000") + hex(v)).right(4);
}

std::uint32_t round_up_to_8(std::uint32_t length)
{
    return (length + 7) & ~std::uint32_t{7};
}

bool refuse(const screen& s)
{
    s.status->setText(open_error_text());
    return false;
}

// Opens an existing regular file for reading; never creates one.
bool open_for_reading(QFile& file)
{
    const QFileInfo info(file.fileName());
    return info.isFile() && file.open(QIODevice::ReadOnly);
}

std::uint32_t limited_length(const QFile& file)
{
    return static_cast<std::uint32_t>(std::min<qint64>(file.size(), file_length_limit));
}

void move_bar(const screen& s, std::uint32_t n, std::uint32_t length)
{
    if (s.bar != nullptr) {
        const auto width = static_cast<int>(std::int64_t{progress_scale} * n / length);
        s.bar->resize(desktop::px(width), s.bar->height());
    }
}

bool show_result(const screen& s, std::optional<std::uint16_t> unit_sum, std::uint16_t file_sum)
{
    const bool ok = unit_sum && *unit_sum == file_sum;
    if (ok) {
        const QString check = s.texts == program::adjust ? QStringLiteral("Chack sum=") : QStringLiteral("Check sum=");
        s.result->setText(check + hex4(file_sum) + QStringLiteral("  Write OK  rom=") + hex(*unit_sum) +
                          QStringLiteral(" file=") + hex(file_sum));
    } else {
        // A unit that never reported its sum ready shows as rom=0, the sum of
        // a read that got no answer.
        s.result->setText(QStringLiteral("Write error  rom=") + hex(unit_sum.value_or(0)) + QStringLiteral(" file=") +
                          hex(file_sum));
    }
    devicelink::pump_events();
    return ok;
}

// One pass over the first `length` bytes of a file, eight at a time, read from
// disk in chunks. Bytes past the end of the file (the last group of a file
// whose length is not a multiple of 8) are 0x00.
struct file_pass {
    QFile& file;
    std::uint32_t length;
    std::vector<char> chunk = std::vector<char>(chunk_size);
    std::uint32_t position = 0;  // bytes of the file taken so far
    qint64 filled = 0;
    qint64 used = 0;
};

bool next_group(file_pass& p, std::span<std::uint8_t, 8> out)
{
    for (std::uint8_t& b : out) {
        if (p.position >= p.length) {
            b = 0x00;
            continue;
        }
        if (p.used == p.filled) {
            const qint64 wanted = std::min<qint64>(chunk_size, p.length - p.position);
            p.filled = p.file.read(p.chunk.data(), wanted);
            p.used = 0;
            if (p.filled <= 0) {
                p.filled = 0;
                return false;  // the file shrank or could not be read
            }
        }
        b = static_cast<std::uint8_t>(p.chunk[static_cast<std::size_t>(p.used++)]);
        ++p.position;
    }
    return true;
}

bool image_download(const screen& s, const QString& path, std::uint32_t length)
{
    const auto address = static_cast<std::uint32_t>(flash_address);
    std::uint32_t sum = 0;
    erase_region(address, length, [&] { s.status->setText(QStringLiteral("Erace")); });
    s.status->setText(path + QStringLiteral("  Download"));
    devicelink::pump_events();
    int progress = 0;
    write_region(address, length, [&](std::uint32_t n, std::span<std::uint8_t, 8> bytes) {
        std::copy_n(image_buffer.begin() + n, 8, bytes.begin());
        for (std::uint8_t b : bytes) {
            sum += b;
        }
        if (++progress == 16) {
            move_bar(s, n, length);
            progress = 0;
            devicelink::pump_events();
        }
        return true;
    });
    s.status->setText(QStringLiteral("Download End"));
    const std::optional<std::uint16_t> unit_sum = read_checksum(address, length);
    return show_result(s, unit_sum, static_cast<std::uint16_t>(sum & 0xFFFF));
}

}  // namespace

QString open_error_text()
{
    return QStringLiteral("ファイル オープン　エラー");
}

bool download_f(const screen& s, const QString& path)
{
    if (path.isEmpty()) {
        return false;
    }
    const auto address = static_cast<std::uint32_t>(flash_address);

    QFile file(path);
    if (!open_for_reading(file)) {
        return refuse(s);
    }
    std::uint32_t file_length = limited_length(file);
    if (file_length == 0) {
        return refuse(s);
    }
    std::uint32_t length = round_up_to_8(file_length);

    erase_region(address, length, [&] { s.status->setText(QStringLiteral("Erace")); });
    s.status->setText(s.texts == program::adjust ? QStringLiteral("Download") : path + QStringLiteral("  Download"));
    devicelink::pump_events();

    file_pass sending{file, file_length};
    int progress = 0;
    const bool sent = write_region(address, length, [&](std::uint32_t n, std::span<std::uint8_t, 8> bytes) {
        if (!next_group(sending, bytes)) {
            return false;
        }
        if (s.texts == program::adjust) {
            s.status->setText(hex(n) + QStringLiteral("byte"));
        } else if (++progress == 16) {
            move_bar(s, n, length);
            progress = 0;
        }
        devicelink::pump_events();
        return true;
    });
    file.close();
    if (!sent) {
        return refuse(s);
    }
    s.status->setText(QStringLiteral("Download End"));

    // The sum is taken from a second reading, so it describes the file as it
    // is on disk when the check starts.
    QFile again(path);
    if (!open_for_reading(again)) {
        return refuse(s);
    }
    file_length = limited_length(again);
    s.status->setText(QStringLiteral("check sum start"));
    devicelink::pump_events();
    length = round_up_to_8(file_length);
    file_pass summing{again, file_length};
    std::uint32_t sum = 0;
    std::array<std::uint8_t, 8> group{};
    for (std::uint32_t n = 0; n < length; n += 8) {
        if (!next_group(summing, group)) {
            return refuse(s);
        }
        for (std::uint8_t b : group) {
            sum += b;
        }
    }
    again.close();

    const std::optional<std::uint16_t> unit_sum = read_checksum(address, file_length);
    return show_result(s, unit_sum, static_cast<std::uint16_t>(sum & 0xFFFF));
}

bool bindownload(const screen& s, const QString& path)
{
    return image_download(s, path, image_length);
}

bool bindownload_short(const screen& s, const QString& path)
{
    return image_download(s, path, short_image_length);
}

}  // namespace flash
