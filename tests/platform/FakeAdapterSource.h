#pragma once

#include "platform/AdapterSource.h"

#include <string>
#include <utility>
#include <vector>

namespace ferrow::test {

// An adapter's address with its netmask, both as dotted text.
inline AdapterAddress Address(const std::string& text,
                              const std::string& netmask = "255.255.255.0") {
    return {text, Ipv4Address::FromText(netmask)};
}

// Lists the adapters it was given, and counts how often it was asked.
class FakeAdapterSource final : public AdapterSource {
public:
    explicit FakeAdapterSource(std::vector<AdapterInfo> adapters = {})
        : m_adapters(std::move(adapters)) {}
    std::vector<AdapterInfo> ListAdapters() const override {
        ++m_calls;
        return m_adapters;
    }
    int Calls() const { return m_calls; }

private:
    std::vector<AdapterInfo> m_adapters;
    mutable int m_calls = 0;
};

} // namespace ferrow::test
