#include "sim/picture.h"

#include "sim/unit.h"

namespace sim {

bool picture_command(unit&, std::span<const std::uint8_t, 8>)
{
    return false;
}

}  // namespace sim
