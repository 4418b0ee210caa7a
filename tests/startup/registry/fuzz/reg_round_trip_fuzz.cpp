// libFuzzer target: a hive file's bytes through the .reg store's parse and write. Read and written back unchanged
// it must give its bytes again; with a value set (in its first key, or a new one) it must read back with that value
// and every value it had, and be a fixed point again. A broken rule aborts.
#include "startup/registry/reg_document.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

namespace {

using namespace bdlogic;
using namespace bdlogic::regfile;

// A value of a type picked by the input, from its last bytes: a text needs escapes, hex and line ends written.
Value EditValue(const std::string& bytes) {
    static const std::uint32_t types[] = {reg::kSz, reg::kExpandSz, reg::kDword, reg::kBinary, 7};
    Value v{types[bytes.size() % 5], {bytes.end() - std::min<std::ptrdiff_t>(std::ssize(bytes), 12), bytes.end()}};
    if (v.type == reg::kDword) v.data.resize(4);
    if (v.type > reg::kExpandSz) return v;
    for (unsigned char& c : v.data) c = static_cast<unsigned char>("a\"\\\r\n=[]@; "[c % 11]);
    v.data.push_back(0);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto Require = [](bool ok) { if (!ok) std::abort(); };
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto doc = Parse(bytes, Hive::LocalMachine);
    if (!doc) return 0;
    Require(Serialize(*doc) == bytes);

    Document edited = *doc;
    if (!edited.header) AddHeader(edited);
    const auto first = std::find_if(edited.blocks.begin(), edited.blocks.end(),
                                    [](const Block& b) { return b.isKey && !b.path.empty(); });
    const auto path = first != edited.blocks.end() ? first->path : std::vector<std::string>{"SOFTWARE", "Fuzz"};
    const auto folded = FoldAll(path);
    const std::string name = Fold("Fuzz Value");
    const Value value = EditValue(bytes);
    if (!KeyListed(edited, folded)) InsertBlock(edited, path, folded);
    SetValue(edited, path, folded, "Fuzz Value", value);

    const std::string out = Serialize(edited);
    const auto again = Parse(out, Hive::LocalMachine);
    Require(again && Serialize(*again) == out);
    const Entry* set = FindValue(*again, folded, name);
    Require(set && set->value.type == value.type && set->value.data == value.data);
    for (const Block& b : doc->blocks) {
        Require(!b.isKey || KeyListed(*again, b.folded));
        for (const Entry& e : b.entries) {
            if (!b.isKey || !e.isValue || (b.folded == folded && e.foldedName == name)) continue;
            const Entry* before = FindValue(*doc, b.folded, e.foldedName);
            const Entry* after = FindValue(*again, b.folded, e.foldedName);
            Require(before && after && after->value.type == before->value.type &&
                    after->value.data == before->value.data);
        }
    }
    return 0;
}
