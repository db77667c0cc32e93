#pragma once

namespace desktop {

// Whether a window can be shown; when not, says so in one line on stderr.
bool display_available(const char* program);

}  // namespace desktop
