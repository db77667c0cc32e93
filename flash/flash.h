// Flash programming, shared by vsadjust and vsupdate: the unit's erase, write
// and checksum protocol, the download-and-verify procedures for files and for
// the HEX memory image, and the Intel HEX loaders.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include <QString>

class QLineEdit;
class QWidget;

namespace flash {

inline constexpr std::size_t image_buffer_size = 32768;
inline constexpr std::uint32_t image_length = 32760;       // what bindownload sends
inline constexpr std::uint32_t short_image_length = 4088;  // what bindownload_short sends
inline constexpr std::uint32_t file_length_limit = 0x100000;
inline constexpr std::int32_t image_address = 0xF8000;
inline constexpr std::int32_t short_image_address = 0x1F1000;
inline constexpr std::uint32_t block_size = 0x8000;
inline constexpr std::uint32_t sector_size = 0x1000;
// Width of the progress bar's frame, in the units the bar's width is set in (twips).
inline constexpr int progress_scale = 5000;

// Where the next download starts; set by its caller.
extern std::int32_t flash_address;
// The memory image that the HEX loaders build for the image downloads.
extern std::array<std::uint8_t, image_buffer_size> image_buffer;

// ---- The unit's flash protocol ----

// Erases the blocks and sectors that cover length bytes from address; the last
// piece of up to 32 KiB is always erased in sectors. after_block runs after
// every block erase.
void erase_region(std::uint32_t address, std::uint32_t length, const std::function<void()>& after_block = {});

// Supplies the eight bytes at offset n of the region just before they are
// sent; may do work of its own (events, progress). False gives up the write.
using byte_source = std::function<bool(std::uint32_t n, std::span<std::uint8_t, 8> bytes)>;

// write_start, then length / 8 data frames from source, then the closing
// wait and read. When the source gives up, the rest of the announced region
// is sent as erased bytes so that the unit leaves its data mode, and the
// result is false.
bool write_region(std::uint32_t address, std::uint32_t length, const byte_source& source);

// The unit's 16-bit sum of count bytes from address; nothing when the unit
// has not reported it ready within the poll limit.
std::optional<std::uint16_t> read_checksum(std::uint32_t address, std::uint32_t count);

inline constexpr std::chrono::milliseconds status_poll_limit{10000};
// Test-only: a shorter bound for the status poll; zero restores the normal one.
void set_status_poll_limit_for_tests(std::chrono::milliseconds limit);

// ---- Download and verify ----

// Which program's texts a download shows.
enum class program { update, adjust };

// The boxes a download writes into. In vsadjust status and result are the
// same box and there is no progress bar.
struct screen {
    QLineEdit* status = nullptr;
    QLineEdit* result = nullptr;
    QWidget* bar = nullptr;  // Shape1 inside Picture1; its width shows the progress
    program texts = program::update;
};

// A binary file, at most 1 MiB of it, at flash_address.
bool download_f(const screen& s, const QString& path);
// image_buffer[0..32759] or [0..4087] at flash_address; path only names it.
bool bindownload(const screen& s, const QString& path);
bool bindownload_short(const screen& s, const QString& path);

// Intel HEX images into image_buffer, then the image download at 0xF8000
// (":10" records) or 0x1F1000 (":10" and ":0E" records).
bool hex_f(const screen& s, const QString& path);
bool hex_f_short(const screen& s, const QString& path);

// The single text every failure of the flash procedures shows.
QString open_error_text();

}  // namespace flash
