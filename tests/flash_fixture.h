// Helpers for the flash tests: a virtual unit, a scratch folder, the boxes a
// download writes into, and a writer of Intel HEX records.
#pragma once

#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdint>
#include <span>
#include <vector>

#include "flash/flash.h"
#include "support/virtual_unit.h"

namespace flash_testing {

// A deterministic byte pattern.
inline std::vector<std::uint8_t> pattern(std::size_t n, int seed)
{
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        v[i] = static_cast<std::uint8_t>((i * 13 + seed * 29 + (i >> 8) * 7) & 0xFF);
    }
    return v;
}

// One record line, CR LF ended: ":" count, offset, type, data, checksum.
inline QByteArray record(int offset, int type, std::span<const std::uint8_t> data)
{
    int sum = static_cast<int>(data.size()) + (offset >> 8) + (offset & 0xFF) + type;
    QByteArray line = QByteArray(":") + QByteArray::number(static_cast<int>(data.size()), 16).rightJustified(2, '0') +
                      QByteArray::number(offset, 16).rightJustified(4, '0') +
                      QByteArray::number(type, 16).rightJustified(2, '0');
    for (std::uint8_t b : data) {
        line += QByteArray::number(b, 16).rightJustified(2, '0');
        sum += b;
    }
    line += QByteArray::number((256 - (sum & 0xFF)) & 0xFF, 16).rightJustified(2, '0');
    return line.toUpper() + "\r\n";
}

inline QByteArray extended_address()
{
    const std::uint8_t zero[2]{0, 0};
    return record(0, 4, zero);
}

// Records of `size` bytes covering image[first, end) at offsets first, first + size, ...
inline QByteArray data_records(std::span<const std::uint8_t> image, int first, int end, int size)
{
    QByteArray out;
    for (int o = first; o + size <= end; o += size) {
        out += record(o, 0, image.subspan(static_cast<std::size_t>(o), static_cast<std::size_t>(size)));
    }
    return out;
}

inline const QByteArray end_record = ":00000001FF\r\n";

class flash_test : public testing_support::virtual_unit_test {
protected:
    void SetUp() override
    {
        virtual_unit_test::SetUp();
        flash::image_buffer.fill(0);
        flash::flash_address = 0;
        bar.resize(0, 33);
    }
    void TearDown() override
    {
        flash::set_status_poll_limit_for_tests(std::chrono::milliseconds::zero());
        virtual_unit_test::TearDown();
    }

    QString write_file(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
        return path;
    }
    QString write_file(const QString& name, const std::vector<std::uint8_t>& content)
    {
        return write_file(name, QByteArray(reinterpret_cast<const char*>(content.data()),
                                           static_cast<qsizetype>(content.size())));
    }

    std::vector<sim::frame> data_frames() const
    {
        std::vector<sim::frame> out;
        for (const sim::logged_frame& f : unit.log) {
            if (f.data) {
                out.push_back(f.bytes);
            }
        }
        return out;
    }
    // The bytes carried by the data frames, in order.
    std::vector<std::uint8_t> data_bytes() const
    {
        std::vector<std::uint8_t> out;
        for (const sim::frame& f : data_frames()) {
            out.insert(out.end(), f.begin(), f.end());
        }
        return out;
    }
    QTemporaryDir dir;
    QLineEdit status;
    QLineEdit result;
    QFrame bar;
    flash::screen screen{&status, &result, &bar, flash::program::update};
};

// Collects every text a box is given.
// (QLineEdit tells only of changes: the same text set twice in a row shows once.)
struct text_log {
    explicit text_log(QLineEdit& box)
    {
        QObject::connect(&box, &QLineEdit::textChanged, &context, [this](const QString& t) { texts.push_back(t); });
    }
    QObject context;
    std::vector<QString> texts;
};

}  // namespace flash_testing
