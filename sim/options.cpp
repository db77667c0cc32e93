#include "sim/options.h"

#include <cstdio>

#include "sim/server.h"

namespace sim {

bool option_number(const QCommandLineParser& parser, const QString& name, std::uint32_t max, std::uint32_t& out,
                   QString& error)
{
    if (!parser.isSet(name)) {
        return true;
    }
    bool ok = false;
    const QString text = parser.value(name);
    const qulonglong v = text.startsWith("0x", Qt::CaseInsensitive) ? text.mid(2).toULongLong(&ok, 16)
                                                                     : text.toULongLong(&ok, 10);
    if (!ok || v > max) {
        error = QString("bad value for --%1: %2").arg(name, text);
        return false;
    }
    out = static_cast<std::uint32_t>(v);
    return true;
}

namespace {

bool number16(const QCommandLineParser& parser, const QString& name, std::uint16_t& out, QString& error)
{
    std::uint32_t v = out;
    if (!option_number(parser, name, 0xFFFF, v, error)) {
        return false;
    }
    out = static_cast<std::uint16_t>(v);
    return true;
}

}  // namespace

void add_options(QCommandLineParser& parser)
{
    parser.addOptions({
        {"socket", "Socket path (default: zova3-sim.sock in the virtual-unit directory).", "path"},
        {"vendor", "USB vendor identifier (default 0x17A7).", "id"},
        {"product", "USB product identifier (default 0x0001).", "id"},
        {"version", "Version number (default 0x0111).", "n"},
        {"input-length", "Input report length, report ID included (default 65).", "bytes"},
        {"output-length", "Output report length, report ID included (default 65).", "bytes"},
        {"silent", "Greet, then never answer a frame."},
        {"trace", "Print every frame, decoded by command name."},
        {"stop-after", "Stop answering after this many frames (the unit unplugged).", "frames"},
        {"drop-every", "Drop every n-th reply.", "n"},
    });
    add_flash_options(parser);
    add_timing_options(parser);
    add_picture_options(parser);
}

std::string apply_options(const QCommandLineParser& parser, unit& u, QString& error)
{
    if (!number16(parser, "vendor", u.opt.vendor, error) || !number16(parser, "product", u.opt.product, error) ||
        !number16(parser, "version", u.opt.version, error) ||
        !number16(parser, "input-length", u.opt.input_length, error) ||
        !number16(parser, "output-length", u.opt.output_length, error) ||
        !option_number(parser, "stop-after", 0xFFFFFFFF, u.opt.stop_after_frames, error) ||
        !option_number(parser, "drop-every", 0xFFFFFFFF, u.opt.drop_every_nth_reply, error) ||
        !apply_flash_options(parser, u, error) || !apply_timing_options(parser, u, error) ||
        !apply_picture_options(parser, u, error)) {
        return {};
    }
    u.opt.silent = parser.isSet("silent");
    if (parser.isSet("trace")) {
        u.trace = [](const std::string& line) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        };
    }
    return parser.isSet("socket") ? parser.value("socket").toStdString() : default_socket_path();
}

void finish(unit& u)
{
    finish_flash(u);
}

}  // namespace sim
