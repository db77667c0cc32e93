// The unit's picture source and freeze switch.
#pragma once

#include <cstdint>
#include <span>
#include <string>

class QCommandLineParser;
class QString;

namespace sim {

struct unit;

struct picture_state {
};

// Returns false for a code that is not a picture command.
bool picture_command(unit& u, std::span<const std::uint8_t, 8> f);

// zova3-sim's options for this part of the unit.
void add_picture_options(QCommandLineParser& parser);
bool apply_picture_options(const QCommandLineParser& parser, unit& u, QString& error);

}  // namespace sim
