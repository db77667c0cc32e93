// Saving the capture window's picture as an uncompressed 24-bit bitmap file.
#pragma once

#include <QString>

#include "adjust/form1.h"

#include <cstdint>

namespace adjust {

// The chosen name with its extension, if any, replaced by ".bmp".
QString bmp_file_name(const QString& chosen);

// Writes pixel_store, width × height pixels, to file_path: a 54-byte header,
// then the store byte for byte. The file is written beside its final place and
// renamed into it, so a failed save leaves an earlier file as it was. Writes
// nothing when the store does not hold width × height pixels.
void write_bmp(std::int32_t width, std::int32_t height);

}  // namespace adjust
