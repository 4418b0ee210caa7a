// libFuzzer target: the bytes of a hive file through the .reg store's parse and write, as a write does it.
//
// A hive read and written back unchanged must give its bytes again. Edited (a value set in its first key, or in a
// new key when it has none, as the store would), it must read back with that value and every value it had, and
// its bytes must again be a fixed point. The value is made from the input's last bytes; any broken rule aborts.
#include "startup/registry/reg_document.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace bdlogic;
using namespace bdlogic::regfile;

void Require(bool ok) {
    if (!ok) std::abort();
}

// A value of a type picked by the input, with text that needs escapes, hex and line ends to be written.
Value EditValue(const std::string& bytes) {
    static const char alphabet[] = "a\"\\\r\n=[]@; ";
    const std::string tail = bytes.substr(bytes.size() - std::min<size_t>(bytes.size(), 12));
    static const std::uint32_t types[] = {reg::kSz, reg::kExpandSz, reg::kDword, reg::kBinary, 7};
    Value v;
    v.type = types[bytes.size() % 5];
    if (v.type == reg::kSz || v.type == reg::kExpandSz) {
        for (unsigned char c : tail) v.data.push_back(static_cast<unsigned char>(alphabet[c % (sizeof alphabet - 1)]));
        v.data.push_back(0);
    } else {
        v.data.assign(tail.begin(), tail.end());
        v.data.resize(v.type == reg::kDword ? 4 : v.data.size());
    }
    return v;
}

bool Same(const Entry* a, const Entry* b) {
    return a && b && a->value.type == b->value.type && a->value.data == b->value.data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto doc = Parse(bytes, Hive::LocalMachine);
    if (!doc) return 0;
    Require(Serialize(*doc) == bytes);

    Document edited = *doc;
    if (!edited.header) AddHeader(edited);
    std::vector<std::string> path{"SOFTWARE", "Fuzz"};
    for (const Block& b : edited.blocks)
        if (b.isKey && !b.path.empty()) {
            path = b.path;
            break;
        }
    const auto folded = FoldAll(path);
    const std::string name = "Fuzz Value";
    const Value value = EditValue(bytes);
    if (!KeyListed(edited, folded)) InsertBlock(edited, path, folded);
    SetValue(edited, path, folded, name, value);

    const std::string out = Serialize(edited);
    const auto again = Parse(out, Hive::LocalMachine);
    Require(again.has_value());
    Require(Serialize(*again) == out);
    const Entry* set = FindValue(*again, folded, Fold(name));
    Require(set && set->value.type == value.type && set->value.data == value.data);
    for (const Block& b : doc->blocks) {
        if (!b.isKey) continue;
        Require(KeyListed(*again, b.folded));
        for (const Entry& e : b.entries)
            if (e.isValue && !(b.folded == folded && e.foldedName == Fold(name)))
                Require(Same(FindValue(*doc, b.folded, e.foldedName), FindValue(*again, b.folded, e.foldedName)));
    }
    return 0;
}
