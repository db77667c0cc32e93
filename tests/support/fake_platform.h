// A scripted HID platform: a list of interfaces with fixed attributes, and a
// log of every call the device link makes.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "devicelink/hid_platform.h"
#include "devicelink/link.h"

namespace testing_support {

struct fake_interface {
    std::string path;
    devicelink::hid_attributes attributes;
    devicelink::report_lengths lengths{65, 65};
    bool openable = true;
    bool second_open_works = true;
    std::deque<std::vector<std::uint8_t>> replies;  // input reports waiting now
    std::deque<std::vector<std::uint8_t>> answers;  // one becomes waiting after each write
};

class fake_platform final : public devicelink::hid_platform {
public:
    std::vector<fake_interface> interfaces;
    std::vector<std::string> events;  // "list", "open <path>", "close <path>", ...
    std::vector<std::vector<std::uint8_t>> written;
    int open_handles = 0;

    fake_interface& add(const std::string& path, devicelink::hid_attributes attributes,
                        devicelink::report_lengths lengths = {65, 65})
    {
        fake_interface& i = interfaces.emplace_back();
        i.path = path;
        i.attributes = attributes;
        i.lengths = lengths;
        return i;
    }

    std::vector<std::string> list_interfaces() override
    {
        events.push_back("list");
        std::vector<std::string> paths;
        for (const auto& i : interfaces) {
            paths.push_back(i.path);
        }
        return paths;
    }
    int open(const std::string& path) override { return open_impl(path, false); }
    int open_for_reading(const std::string& path) override { return open_impl(path, true); }
    bool get_attributes(int h, devicelink::hid_attributes& out) override
    {
        out = find(h)->attributes;
        return true;
    }
    bool get_report_lengths(int h, devicelink::report_lengths& out) override
    {
        out = find(h)->lengths;
        return true;
    }
    bool write(int h, std::span<const std::uint8_t> report) override
    {
        auto* i = find(h);
        events.push_back("write " + i->path);
        written.emplace_back(report.begin(), report.end());
        if (!i->answers.empty()) {
            i->replies.push_back(i->answers.front());
            i->answers.pop_front();
        }
        return true;
    }
    int read(int h, std::span<std::uint8_t> buffer, int) override
    {
        auto* i = find(h);
        events.push_back("read " + i->path);
        if (i->replies.empty()) {
            return 0;
        }
        const auto r = i->replies.front();
        i->replies.pop_front();
        std::copy_n(r.begin(), std::min(r.size(), buffer.size()), buffer.begin());
        return static_cast<int>(r.size());
    }
    void discard_pending(int h) override
    {
        auto* i = find(h);
        events.push_back("discard " + i->path);
        i->replies.clear();
    }
    void close(int h) override
    {
        events.push_back("close " + find(h)->path);
        handles.erase(h);
        --open_handles;
    }

private:
    int open_impl(const std::string& path, bool second)
    {
        events.push_back((second ? "open-read " : "open ") + path);
        for (std::size_t k = 0; k < interfaces.size(); ++k) {
            auto& i = interfaces[k];
            if (i.path == path && (second ? i.second_open_works : i.openable)) {
                handles[next] = k;
                ++open_handles;
                return next++;
            }
        }
        return -1;
    }
    fake_interface* find(int h) { return &interfaces.at(handles.at(h)); }
    std::map<int, std::size_t> handles;
    int next = 0;
};

// The device link wired to a fresh fake_platform for each test.
class fake_platform_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        devicelink::reset_for_tests();
        devicelink::set_platform(&platform);
    }
    void TearDown() override
    {
        devicelink::set_platform(nullptr);
        devicelink::reset_for_tests();
    }
    fake_platform platform;
};

}  // namespace testing_support
