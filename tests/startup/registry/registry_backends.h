// The registry backends the contract test runs on (the in-memory fake and the .reg file store in a temporary
// directory, or on Windows the real registry below a scratch key) and value helpers. Free of Qt, so that the
// contract builds for Windows on its own.
#pragma once

#include "startup/registry/registry_backend.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace bdlogic::test {

struct BackendKind {
    std::string name;
    // One fresh, empty registry; gone with the object.
    std::function<std::shared_ptr<reg::Backend>()> make;
};
inline void PrintTo(const BackendKind& kind, std::ostream* os) { *os << kind.name; }
std::vector<BackendKind> AllBackends();

// REG_SZ / REG_EXPAND_SZ as UTF-8 with NUL, REG_DWORD little-endian, any type as given.
reg::Value Sz(const std::string& text, std::uint32_t type = reg::kSz);
reg::Value Dword(std::uint32_t n);
reg::Value Raw(std::uint32_t type, std::vector<unsigned char> bytes);

// A value of every type and shape a registry must give back as it was set: by both backends, and after regedit
// carried the key from one to the other.
struct NamedValue {
    std::string name;
    reg::Value value;
};
std::vector<NamedValue> ContractValues();

// "type:hex bytes", or "absent": compared, it shows what differs.
std::string Describe(const std::optional<reg::Value>& value);

} // namespace bdlogic::test
