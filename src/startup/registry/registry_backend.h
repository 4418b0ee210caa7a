// What the registry operations need from a registry: open, query, create, set. Free of Qt so that the Windows
// backend can be built on its own. Texts are UTF-8; REG_SZ and REG_EXPAND_SZ data are UTF-8 bytes ending in NUL,
// the form in which the operations above them read and write text.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bdlogic::reg {

enum class Hive { LocalMachine, CurrentUser };

enum ValueType : std::uint32_t {
    kNone = 0,
    kSz = 1,
    kExpandSz = 2,
    kBinary = 3,
    kDword = 4,
};

struct Value {
    std::uint32_t type = kNone;
    std::vector<unsigned char> data;
};

enum class CreateResult { Created, Existed, Failed };

class Backend {
public:
    virtual ~Backend() = default;
    // True when the key can be opened for reading (it, or a key below it, exists).
    virtual bool keyExists(Hive hive, const std::string& path) = 0;
    // The value's type and data; nothing when the key or the value does not exist or cannot be read.
    virtual std::optional<Value> queryValue(Hive hive, const std::string& path, const std::string& name) = 0;
    // Creates the key and its missing parents; reports whether it was new.
    virtual CreateResult createKey(Hive hive, const std::string& path, const std::string& keyClass) = 0;
    // Sets a value in an existing key; false when the key does not exist or the write failed.
    virtual bool setValue(Hive hive, const std::string& path, const std::string& name, const Value& value) = 0;
    // Names of the values of a key, in the order the registry lists them (the serial device map is searched by
    // data, not by name). A backend that cannot list values reports none.
    virtual std::vector<std::string> valueNames(Hive, const std::string&) { return {}; }
    // One read-modify-write of a hive: `change` reads and writes through the backend it is given and returns
    // whether it changed anything. The .reg store hands it the hive as read under the exclusive lock and writes
    // the result once, so no other writer comes between the read and the write; false when the hive could not
    // be read or written. Elsewhere `change` works on the backend itself.
    virtual bool update(Hive, const std::function<bool(Backend&)>& change) {
        change(*this);
        return true;
    }
};

} // namespace bdlogic::reg
