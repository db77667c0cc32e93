#include "adjust/bmp.h"

#include <QSaveFile>

#include <array>

#include "adjust/form5.h"

namespace adjust {

namespace {

constexpr std::size_t header_size = 54;
constexpr std::int32_t pixels_per_metre = 3780;  // 96 dots per inch

template <std::size_t N>
void put(std::array<std::uint8_t, header_size>& header, std::size_t at, std::int64_t value)
{
    for (std::size_t k = 0; k < N; ++k) {
        header[at + k] = static_cast<std::uint8_t>((static_cast<std::uint64_t>(value) >> (8 * k)) & 0xFF);
    }
}

std::array<std::uint8_t, header_size> bmp_header(std::int32_t width, std::int32_t height)
{
    std::array<std::uint8_t, header_size> h{};
    h[0] = 'B';
    h[1] = 'M';
    put<4>(h, 2, header_size + static_cast<std::int64_t>(width) * height * 3);
    put<4>(h, 10, header_size);
    put<4>(h, 14, 40);
    put<4>(h, 18, width);
    put<4>(h, 22, -static_cast<std::int64_t>(height));  // negative: top row first
    put<2>(h, 26, 1);
    put<2>(h, 28, 24);
    put<4>(h, 38, pixels_per_metre);
    put<4>(h, 42, pixels_per_metre);
    return h;
}

}  // namespace

QString bmp_file_name(const QString& chosen)
{
    // Only a dot in the file's own name starts an extension; one in a folder
    // name must not send the picture to another folder.
    const qsizetype dot = chosen.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = chosen.lastIndexOf(QLatin1Char('/'));
    const QString stem = dot > slash ? chosen.left(dot) : chosen;
    return stem + QStringLiteral(".bmp");
}

void write_bmp(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0 || pixel_store.size() != static_cast<std::size_t>(width) * height * 3) {
        return;
    }
    QSaveFile file(file_path);
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    const auto header = bmp_header(width, height);
    file.write(reinterpret_cast<const char*>(header.data()), static_cast<qint64>(header.size()));
    file.write(reinterpret_cast<const char*>(pixel_store.data()), static_cast<qint64>(pixel_store.size()));
    file.commit();
}

}  // namespace adjust
