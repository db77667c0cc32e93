// The unit's timing area and its remote-control input.
#pragma once

#include <cstdint>
#include <span>
#include <string>

class QCommandLineParser;
class QString;

namespace sim {

struct unit;

struct timing_state {
};

// Returns false for a code that is not a timing or remote command.
bool timing_command(unit& u, std::span<const std::uint8_t, 8> f);

// zova3-sim's options for this part of the unit.
void add_timing_options(QCommandLineParser& parser);
bool apply_timing_options(const QCommandLineParser& parser, unit& u, QString& error);

}  // namespace sim
