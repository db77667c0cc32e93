// zova3-sim's command line.
#pragma once

#include <QCommandLineParser>
#include <QString>

#include <string>

#include "sim/unit.h"

namespace sim {

void add_options(QCommandLineParser& parser);

// Reads option --name, when given, as a decimal or 0x-prefixed number of at
// most max into out; sets error and returns false on a bad value.
bool option_number(const QCommandLineParser& parser, const QString& name, std::uint32_t max, std::uint32_t& out,
                   QString& error);
// Fills the unit from the parsed options and returns the socket path; sets
// error (and returns an empty path) on a bad value.
std::string apply_options(const QCommandLineParser& parser, unit& u, QString& error);
// Work to do when the program ends (saving state the options asked for).
void finish(unit& u);

}  // namespace sim
