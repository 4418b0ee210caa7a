// The .reg document: a hive file parsed into lines and blocks, value formatting, writing back, edits.
#pragma once

#include "reg_text.h"
#include "registry_backend.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Internal to the file store (reg_*.cpp).
namespace bdlogic::regfile {

using reg::Hive;
using reg::Value;

inline constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kHeader4 = "REGEDIT4";

// The root's name as key lines and hive file names spell it.
const char* HiveName(Hive hive);

// The document: every line of the file, grouped into the part before the first key and one block per key line.

enum class Encoding { Utf8, Utf8Bom, Utf16le };
enum class Dialect { V5, V4 };

// Lines are kept as they stand in the file, up to their LF: a CR before it stays part of the line, so that every
// line keeps its own line end.
struct Entry {
    bool isValue = false;
    std::vector<std::string> lines; // the physical lines, each without its LF
    std::string name;               // value entries: the name with its case ("" = default value)
    std::string foldedName;
    Value value;

    bool isBlankLine() const { return !isValue && lines.size() == 1 && Trim(lines[0]).empty(); }
};

struct Block {
    bool isKey = false; // false: an opaque block, kept verbatim and invisible
    std::string keyLine;
    std::vector<std::string> path; // below the hive root, with their case
    std::vector<std::string> folded;
    std::vector<Entry> entries;

    bool is(const std::vector<std::string>& f) const { return isKey && folded == f; }
    // This key or a key below it.
    bool under(const std::vector<std::string>& f, size_t len) const {
        if (!isKey || folded.size() < len) return false;
        for (size_t i = 0; i < len; ++i)
            if (folded[i] != f[i]) return false;
        return true;
    }
};

struct Document {
    Hive hive = Hive::LocalMachine;
    Encoding encoding = Encoding::Utf8;
    Dialect dialect = Dialect::V5;
    bool crlf = false;    // new lines end in CR LF, as the file's first line does (each old line keeps its own end)
    bool finalEol = true; // the last line has a line end
    std::vector<std::string> leading; // blank lines before the header
    std::optional<std::string> header;
    std::vector<std::string> preamble; // lines between the header and the first key line (all of an empty hive)
    std::vector<Block> blocks;
    std::string oddTail; // a last odd byte of a UTF-16 file, put back as it was
};

// Nothing when the bytes are not a hive: neither empty (blank lines at most) nor starting with a header line, in
// UTF-8 or in UTF-16LE with byte order mark.
std::optional<Document> Parse(const std::string& bytes, Hive hive);
std::string Serialize(const Document& doc);
// Puts the 5.00 header line and a blank line in front of a hive that has no header (an empty one).
void AddHeader(Document& doc);

bool KeyListed(const Document& doc, const std::vector<std::string>& folded);

// The value that a read sees: the last one of that name in the last block of the key that has it.
template <class Doc>
auto FindValue(Doc& doc, const std::vector<std::string>& folded, const std::string& foldedName)
    -> decltype(&doc.blocks.front().entries.front()) {
    decltype(&doc.blocks.front().entries.front()) found = nullptr;
    for (auto& b : doc.blocks) {
        if (!b.is(folded)) continue;
        for (auto& e : b.entries)
            if (e.isValue && e.foldedName == foldedName) found = &e;
    }
    return found;
}

// The names of the key's values, each once (in the spelling of its first line), in file order.
std::vector<std::string> ValueNames(const Document& doc, const std::vector<std::string>& folded);

// A value name the file format can hold: one line, no NUL.
bool WritableValueName(const std::string& name);

size_t InsertBlock(Document& doc, const std::vector<std::string>& path, const std::vector<std::string>& folded);
bool SetValue(Document& doc, const std::vector<std::string>& path, const std::vector<std::string>& folded,
              const std::string& name, const Value& value);

} // namespace bdlogic::regfile
