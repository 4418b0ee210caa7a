// The registry backends that the contract and operation tests run on: the in-memory fake and the .reg file store
// in a temporary directory, or on Windows the real registry below a scratch key. Free of Qt, so that the
// contract builds for Windows on its own.
#pragma once

#include "startup/registry/registry_backend.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace bdlogic::test {

// One fresh, empty registry; gone with the object.
class BackendUnderTest {
public:
    virtual ~BackendUnderTest() = default;
    virtual reg::Backend& backend() = 0;
};

struct BackendKind {
    std::string name;
    std::function<std::unique_ptr<BackendUnderTest>()> make;
};

inline void PrintTo(const BackendKind& kind, std::ostream* os) { *os << kind.name; }

std::vector<BackendKind> AllBackends();

// Value helpers: REG_SZ / REG_EXPAND_SZ as UTF-8 with NUL, REG_DWORD little-endian.
reg::Value Sz(const std::string& text, std::uint32_t type = reg::kSz);
reg::Value Dword(std::uint32_t n);
reg::Value Raw(std::uint32_t type, std::vector<unsigned char> bytes);

// A value of every type and shape a registry must keep as it was set; both backends, and regedit carrying a
// key from one to the other, must give each back unchanged.
struct NamedValue {
    std::string name;
    reg::Value value;
};
std::vector<NamedValue> ContractValues();

// "type:hex bytes", for messages that show what differs.
std::string Describe(const reg::Value& value);

} // namespace bdlogic::test
