#include "devicelink/report_descriptor.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace devicelink {

namespace {

enum item_type { type_main = 0, type_global = 1, type_local = 2, type_reserved = 3 };

enum main_tag { tag_input = 0x8, tag_output = 0x9, tag_feature = 0xB };

enum global_tag { tag_report_size = 0x7, tag_report_id = 0x8, tag_report_count = 0x9, tag_push = 0xA, tag_pop = 0xB };

struct globals {
    std::uint32_t report_size = 0;
    std::uint32_t report_count = 0;
    std::uint32_t report_id = 0;
};

std::uint16_t bytes_with_id(const std::map<std::uint32_t, std::uint64_t>& bits_by_id)
{
    std::uint64_t largest = 0;
    for (const auto& [id, bits] : bits_by_id) {
        largest = std::max(largest, (bits + 7) / 8);
    }
    if (largest == 0) {
        return 0;
    }
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(largest + 1, 0xFFFF));
}

}  // namespace

descriptor_lengths parse_report_descriptor(std::span<const std::uint8_t> d)
{
    globals g;
    std::vector<globals> stack;
    std::map<std::uint32_t, std::uint64_t> input_bits;
    std::map<std::uint32_t, std::uint64_t> output_bits;
    std::map<std::uint32_t, std::uint64_t> feature_bits;
    descriptor_lengths result;

    std::size_t i = 0;
    while (i < d.size()) {
        const std::uint8_t prefix = d[i];
        if (prefix == 0xFE) {  // long item: size byte, tag byte, data
            if (i + 1 >= d.size()) {
                break;
            }
            i += 3 + d[i + 1];
            continue;
        }
        const std::size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        const int type = (prefix >> 2) & 0x3;
        const int tag = prefix >> 4;
        if (i + 1 + size > d.size()) {
            break;
        }
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < size; ++k) {
            value |= static_cast<std::uint32_t>(d[i + 1 + k]) << (8 * k);
        }
        i += 1 + size;

        if (type == type_main) {
            const std::uint64_t bits = static_cast<std::uint64_t>(g.report_size) * g.report_count;
            if (tag == tag_input) {
                input_bits[g.report_id] += bits;
            } else if (tag == tag_output) {
                output_bits[g.report_id] += bits;
            } else if (tag == tag_feature) {
                feature_bits[g.report_id] += bits;
            }
        } else if (type == type_global) {
            switch (tag) {
            case tag_report_size: g.report_size = value; break;
            case tag_report_count: g.report_count = value; break;
            case tag_report_id:
                g.report_id = value;
                result.numbered_reports = true;
                break;
            case tag_push: stack.push_back(g); break;
            case tag_pop:
                if (!stack.empty()) {
                    g = stack.back();
                    stack.pop_back();
                }
                break;
            default: break;
            }
        }
    }
    result.input = bytes_with_id(input_bits);
    result.output = bytes_with_id(output_bits);
    result.feature = bytes_with_id(feature_bits);
    return result;
}

}  // namespace devicelink
