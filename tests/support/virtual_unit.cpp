#include "support/virtual_unit.h"

#include <algorithm>

namespace testing_support {

sim::frame bytes(std::initializer_list<int> values)
{
    sim::frame f{};
    std::transform(values.begin(), values.end(), f.begin(), [](int v) { return static_cast<std::uint8_t>(v); });
    return f;
}

}  // namespace testing_support
