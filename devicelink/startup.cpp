#include "devicelink/startup.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace desktop {

namespace {

bool set(const char* name)
{
    const char* v = std::getenv(name);
    return v != nullptr && v[0] != '\0';
}

// A local X display (":N" or ":N.S") has its socket in /tmp/.X11-unix; a
// display on another host cannot be checked from here and is taken as it is.
bool local_x_display_missing(const std::string& display)
{
    if (display.empty() || display[0] != ':') {
        return false;
    }
    const std::string number = display.substr(1, display.find('.') - 1);
    struct stat st {};
    return ::stat(("/tmp/.X11-unix/X" + number).c_str(), &st) != 0;
}

}  // namespace

bool display_available(const char* program)
{
    if (set("QT_QPA_PLATFORM") || set("WAYLAND_DISPLAY")) {
        return true;
    }
    if (!set("DISPLAY")) {
        std::fprintf(stderr, "%s: no display to show its window on (DISPLAY and WAYLAND_DISPLAY are not set)\n",
                     program);
        return false;
    }
    const std::string display = std::getenv("DISPLAY");
    if (local_x_display_missing(display)) {
        std::fprintf(stderr, "%s: no display to show its window on (no X server at DISPLAY=%s)\n", program,
                     display.c_str());
        return false;
    }
    return true;
}

}  // namespace desktop
