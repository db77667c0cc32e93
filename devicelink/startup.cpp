#include "devicelink/startup.h"

#include <cstdio>
#include <cstdlib>

namespace desktop {

namespace {

bool set(const char* name)
{
    const char* v = std::getenv(name);
    return v != nullptr && v[0] != '\0';
}

}  // namespace

bool display_available(const char* program)
{
    if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM")) {
        return true;
    }
    std::fprintf(stderr, "%s: no display to show its window on (DISPLAY and WAYLAND_DISPLAY are not set)\n", program);
    return false;
}

}  // namespace desktop
