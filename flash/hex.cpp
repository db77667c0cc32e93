#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QList>

#include <algorithm>

#include "flash/flash.h"

namespace flash {

namespace {

// Records at or above this load offset are not taken.
constexpr int offset_limit = 0x7D80;

int digit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

int byte_at(const QByteArray& line, qsizetype i)
{
    return digit(line[i]) * 16 + digit(line[i + 1]);
}

// A record: ":" LL AAAA TT data CC, hexadecimal digits only, LL data bytes,
// and all bytes summing to 0 modulo 256.
bool well_formed(const QByteArray& line)
{
    if (line.size() < 11 || line[0] != ':' || (line.size() - 1) % 2 != 0) {
        return false;
    }
    if (!std::all_of(line.begin() + 1, line.end(), [](char c) { return digit(c) >= 0; })) {
        return false;
    }
    if (line.size() != 11 + 2 * byte_at(line, 1)) {
        return false;
    }
    int sum = 0;
    for (qsizetype i = 1; i < line.size(); i += 2) {
        sum += byte_at(line, i);
    }
    return sum % 256 == 0;
}

// The record lines of a HEX file without their line ends; blank lines left out.
bool read_records(const QString& path, QList<QByteArray>& records)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    for (QByteArray line : content.split('\n')) {
        while (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty()) {
            continue;
        }
        if (!well_formed(line)) {
            return false;
        }
        records.push_back(line);
    }
    return true;
}

// Only the records between the first and the second ":02" line are taken,
// placed by their 16-bit load offset alone.
void take_records(const QList<QByteArray>& records, bool take_14_byte_records)
{
    int section = 0;
    for (const QByteArray& line : records) {
        const QByteArray kind = line.left(3);
        if (kind == ":02") {
            ++section;
        }
        const bool accepted = kind == ":10" || (take_14_byte_records && kind == ":0E");
        int offset = byte_at(line, 3) * 256 + byte_at(line, 5);
        if (!accepted || offset >= offset_limit || section != 1) {
            continue;
        }
        const qsizetype n = line.size() - 9;  // data and checksum digits
        for (qsizetype p = 0; p < n - 2; p += 2) {
            image_buffer[static_cast<std::size_t>(offset++)] = static_cast<std::uint8_t>(byte_at(line, 9 + p));
        }
    }
}

bool load_and_download(const screen& s, const QString& path, bool short_image)
{
    if (!path.isEmpty()) {
        QList<QByteArray> records;
        if (!read_records(path, records)) {
            s.status->setText(open_error_text());
            return false;
        }
        // Every image starts from zeros, never from the bytes of an earlier one.
        image_buffer.fill(0);
        take_records(records, short_image);
    }
    if (short_image) {
        flash_address = short_image_address;
        return bindownload_short(s, path);
    }
    flash_address = image_address;
    return bindownload(s, path);
}

}  // namespace

bool hex_f(const screen& s, const QString& path)
{
    return load_and_download(s, path, false);
}

bool hex_f_short(const screen& s, const QString& path)
{
    return load_and_download(s, path, true);
}

}  // namespace flash
