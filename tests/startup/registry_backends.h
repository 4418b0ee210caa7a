// The registry backends that the contract and operation tests run on: the in-memory fake, the .reg file store in
// a temporary directory, and on Windows the real registry below a scratch key.
#pragma once

#include "startup/registry_backend.h"

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

} // namespace bdlogic::test
