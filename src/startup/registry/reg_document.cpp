// The .reg document: a hive file parsed into lines and blocks, value formatting, writing back, edits.
#ifndef _WIN32 // the file store is POSIX only, see reg_file_store.cpp

#include "reg_document.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string_view>
#include <utility>

namespace bdlogic::regfile {

const char* HiveName(Hive hive) {
    return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}
static const char* HiveShortName(Hive hive) { return hive == Hive::LocalMachine ? "HKLM" : "HKCU"; }

static Block ParseKeyLine(const std::string& line, Hive hive) {
    Block b;
    b.keyLine = line;
    const std::string_view t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return b;
    std::string_view inner = t.substr(1, t.size() - 2);
    if (inner.empty() || inner.front() == '-') return b; // a deletion: not this store's business
    const size_t slash = inner.find('\\');
    const std::string_view root = inner.substr(0, slash);
    if (!EqualNoCaseAscii(root, HiveName(hive)) && !EqualNoCaseAscii(root, HiveShortName(hive))) return b;
    const auto parts = SplitPath(slash == std::string_view::npos ? std::string_view() : inner.substr(slash + 1));
    if (!parts) return b;
    b.isKey = true;
    b.path = *parts;
    b.folded = FoldAll(b.path);
    return b;
}

// The name part of a value line: "Name"= or @=. Returns the position after the '='.
static std::optional<size_t> ParseName(std::string_view s, std::string& name) {
    size_t i = 0;
    if (s.empty()) return std::nullopt;
    if (s[0] == '@') {
        i = 1;
    } else if (s[0] == '"') {
        i = 1;
        for (;;) {
            if (i >= s.size()) return std::nullopt;
            const char c = s[i];
            if (c == '\\' && i + 1 < s.size()) {
                const char n = s[i + 1];
                if (n != '\\' && n != '"') name += c;
                name += n;
                i += 2;
                continue;
            }
            ++i;
            if (c == '"') break;
            name += c;
        }
    } else {
        return std::nullopt;
    }
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i >= s.size() || s[i] != '=') return std::nullopt;
    return i + 1;
}

// Comma-separated bytes of one or two hex digits; a trailing comma is allowed.
static std::optional<std::vector<unsigned char>> ParseHexList(std::string_view s) {
    std::vector<unsigned char> out;
    s = Trim(s);
    if (s.empty()) return out;
    size_t start = 0;
    for (;;) {
        const size_t comma = s.find(',', start);
        const size_t len = comma == std::string_view::npos ? comma : comma - start;
        const std::string_view tok = Trim(s.substr(start, len));
        if (tok.empty()) {
            if (comma == std::string_view::npos && start > 0) break; // after a trailing comma
            return std::nullopt;
        }
        if (tok.size() > 2) return std::nullopt;
        const auto n = ParseHex32(tok);
        if (!n) return std::nullopt;
        out.push_back(static_cast<unsigned char>(*n));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return out;
}

// A whole value line (continuations joined): its name and value, or nothing when it is not one this store can
// read.
static std::optional<std::pair<std::string, Value>> ParseValueLine(std::string_view line, Dialect dialect) {
    const std::string_view s = Trim(line);
    std::string name;
    const auto pos = ParseName(s, name);
    if (!pos) return std::nullopt;
    const std::string_view data = Trim(s.substr(*pos));
    Value v;
    if (!data.empty() && data.front() == '"') {
        if (data.size() < 2 || data.back() != '"') return std::nullopt;
        const std::string text = Unescape(data.substr(1, data.size() - 2));
        v.type = reg::kSz;
        v.data.assign(text.begin(), text.end());
        v.data.push_back(0);
    } else if (StartsWithNoCase(data, "dword:")) {
        const auto n = ParseHex32(data.substr(6));
        if (!n) return std::nullopt;
        v.type = reg::kDword;
        for (int k = 0; k < 4; ++k) v.data.push_back(static_cast<unsigned char>(*n >> (8 * k)));
    } else if (StartsWithNoCase(data, "hex")) {
        std::string_view rest = data.substr(3);
        v.type = reg::kBinary;
        if (!rest.empty() && rest.front() == '(') {
            const size_t close = rest.find(')');
            if (close == std::string_view::npos) return std::nullopt;
            const auto type = ParseHex32(rest.substr(1, close - 1));
            if (!type) return std::nullopt;
            v.type = *type;
            rest = rest.substr(close + 1);
        }
        if (rest.empty() || rest.front() != ':') return std::nullopt;
        auto bytes = ParseHexList(rest.substr(1));
        if (!bytes) return std::nullopt;
        if (v.type == reg::kSz || v.type == reg::kExpandSz) {
            const std::string text = dialect == Dialect::V5 ? Utf16leToUtf8(bytes->data(), bytes->size(), false)
                                                            : EightBitToUtf8(*bytes);
            v.data.assign(text.begin(), text.end());
        } else {
            v.data = std::move(*bytes);
        }
    } else {
        return std::nullopt; // "Name"=- (a deletion), str(n):, or anything else
    }
    return std::pair{std::move(name), std::move(v)};
}

// A line that starts a value whose data is a hex list, so that a trailing backslash continues it.
static bool StartsHexValue(std::string_view line) {
    std::string name;
    const std::string_view s = Trim(line);
    const auto pos = ParseName(s, name);
    return pos && StartsWithNoCase(Trim(s.substr(*pos)), "hex");
}

static bool EndsWithBackslash(std::string_view s) {
    s = Trim(s);
    return !s.empty() && s.back() == '\\';
}

std::optional<Document> Parse(const std::string& bytes, Hive hive) {
    Document doc;
    doc.hive = hive;
    std::string text;
    const auto* raw = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() >= 2 && raw[0] == 0xFF && raw[1] == 0xFE) {
        doc.encoding = Encoding::Utf16le;
        text = Utf16leToUtf8(raw + 2, bytes.size() - 2, true);
        if (bytes.size() % 2 != 0) doc.oddTail = bytes.substr(bytes.size() - 1);
    } else if (bytes.size() >= 3 && raw[0] == 0xEF && raw[1] == 0xBB && raw[2] == 0xBF) {
        doc.encoding = Encoding::Utf8Bom;
        text = bytes.substr(3);
    } else {
        text = bytes;
    }

    std::vector<std::string> lines;
    for (size_t pos = 0; pos < text.size();) {
        const size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) {
            lines.push_back(text.substr(pos));
            doc.finalEol = false;
            break;
        }
        lines.push_back(text.substr(pos, nl - pos));
        if (lines.size() == 1) doc.crlf = nl > pos && text[nl - 1] == '\r';
        pos = nl + 1;
    }

    // The header line, after blank lines if any; a file of blank lines alone is an empty hive.
    size_t first = 0;
    while (first < lines.size() && Trim(lines[first]).empty()) ++first;
    if (first == lines.size()) { // the header that a write adds goes before them
        doc.preamble = std::move(lines);
        return doc;
    }
    doc.leading.assign(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
    const std::string_view header = Trim(lines[first]);
    if (header != kHeader5 && header != kHeader4) return std::nullopt;
    doc.dialect = header == kHeader4 ? Dialect::V4 : Dialect::V5;
    doc.header = lines[first];
    size_t i = first + 1;
    while (i < lines.size()) {
        const std::string& line = lines[i];
        const std::string_view t = Trim(line);
        if (!t.empty() && t.front() == '[') {
            doc.blocks.push_back(ParseKeyLine(line, hive));
            ++i;
            continue;
        }
        if (doc.blocks.empty()) {
            doc.preamble.push_back(line);
            ++i;
            continue;
        }
        Block& block = doc.blocks.back();
        Entry e;
        e.lines.push_back(line);
        ++i;
        if (!block.isKey || t.empty() || t.front() == ';') {
            block.entries.push_back(std::move(e));
            continue;
        }
        std::string logical = line;
        if (StartsHexValue(line)) {
            while (EndsWithBackslash(logical) && i < lines.size()) {
                const std::string_view next = Trim(lines[i]);
                // A continuation is a list of hex bytes; a key or value line, or a blank one, is not.
                if (next.empty() || next.front() == '[' || next.front() == '"' || next.front() == '@') break;
                std::string_view head = Trim(logical);
                head.remove_suffix(1);
                logical = std::string(head) + std::string(TrimLeft(lines[i]));
                e.lines.push_back(lines[i]);
                ++i;
            }
        }
        if (auto parsed = ParseValueLine(logical, doc.dialect)) {
            e.isValue = true;
            e.name = std::move(parsed->first);
            e.foldedName = Fold(e.name);
            e.value = std::move(parsed->second);
        }
        block.entries.push_back(std::move(e));
    }
    return doc;
}

// A new value's lines, as regedit writes them, without their line ends.
static std::vector<std::string> FormatValueText(const std::string& name, const Value& v, Dialect dialect) {
    std::string head = name.empty() ? std::string("@=") : "\"" + Escape(name) + "\"=";
    const auto* bytes = reinterpret_cast<const char*>(v.data.data());
    const std::string_view text(bytes, v.data.size());

    if (v.type == reg::kSz && !text.empty() && text.back() == '\0') {
        const std::string_view body = text.substr(0, text.size() - 1);
        if (body.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos && IsValidUtf8(body))
            return {head + "\"" + Escape(body) + "\""};
    }
    if (v.type == reg::kDword && v.data.size() == 4) {
        const std::uint32_t n = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                                (static_cast<std::uint32_t>(v.data[3]) << 24);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        return {head + buf};
    }

    std::vector<unsigned char> hex;
    if ((v.type == reg::kSz || v.type == reg::kExpandSz) && dialect == Dialect::V5)
        hex = Utf8ToUtf16le(text, false);
    else
        hex = v.data;
    if (v.type == reg::kBinary) {
        head += "hex:";
    } else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
        head += buf;
    }

    // Wrapped so that no line is longer than 80 columns, the continuation indented by two blanks.
    std::vector<std::string> lines;
    std::string line = std::move(head);
    static const char digits[] = "0123456789abcdef";
    for (size_t k = 0; k < hex.size(); ++k) {
        line += digits[hex[k] >> 4];
        line += digits[hex[k] & 0xF];
        if (k + 1 == hex.size()) break;
        line += ',';
        if (line.size() >= 77) {
            line += '\\';
            lines.push_back(std::move(line));
            line = "  ";
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

// A line that a write adds, with the file's line end.
static std::string NewLine(const Document& doc, std::string line) {
    if (doc.crlf) line += '\r';
    return line;
}

static std::vector<std::string> FormatValue(const std::string& name, const Value& v, const Document& doc) {
    auto lines = FormatValueText(name, v, doc.dialect);
    for (auto& line : lines) line = NewLine(doc, std::move(line));
    return lines;
}

std::string Serialize(const Document& doc) {
    std::string text;
    auto put = [&](const std::string& line) {
        text += line;
        text += '\n';
    };
    for (const auto& line : doc.leading) put(line);
    if (doc.header) put(*doc.header);
    for (const auto& line : doc.preamble) put(line);
    for (const auto& block : doc.blocks) {
        put(block.keyLine);
        for (const auto& e : block.entries)
            for (const auto& line : e.lines) put(line);
    }
    if (!doc.finalEol && !text.empty()) text.pop_back();
    switch (doc.encoding) {
    case Encoding::Utf8:
        return text;
    case Encoding::Utf8Bom:
        return "\xEF\xBB\xBF" + text;
    case Encoding::Utf16le: {
        const auto units = Utf8ToUtf16le(text, true);
        std::string out = "\xFF\xFE";
        out.append(units.begin(), units.end());
        return out + doc.oddTail;
    }
    }
    return text;
}

// ---------------------------------------------------------------------------------------------------------
// Lookups and edits on a document

void AddHeader(Document& doc) {
    doc.header = NewLine(doc, std::string(kHeader5));
    doc.preamble.insert(doc.preamble.begin(), NewLine(doc, ""));
}

bool KeyListed(const Document& doc, const std::vector<std::string>& folded) {
    if (folded.empty()) return true; // the hive's root always exists
    for (const auto& b : doc.blocks)
        if (b.under(folded, folded.size())) return true;
    return false;
}

std::vector<std::string> ValueNames(const Document& doc, const std::vector<std::string>& folded) {
    std::vector<std::string> names, seen;
    for (const auto& b : doc.blocks) {
        if (!b.is(folded)) continue;
        for (const auto& e : b.entries) {
            if (!e.isValue || std::find(seen.begin(), seen.end(), e.foldedName) != seen.end()) continue;
            seen.push_back(e.foldedName);
            names.push_back(e.name);
        }
    }
    return names;
}

bool WritableValueName(const std::string& name) {
    return name.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

static bool EndsWithBlankLine(const std::vector<Entry>& entries) {
    return !entries.empty() && entries.back().isBlankLine();
}

// Adds a block for a key that has none; returns its index.
size_t InsertBlock(Document& doc, const std::vector<std::string>& path, const std::vector<std::string>& folded) {
    const size_t n = folded.size();
    // The key's case: that of the listed keys it shares a beginning with, the caller's for the rest.
    std::vector<std::string> parts = path;
    for (size_t len = n; len > 0; --len) {
        const auto it = std::find_if(doc.blocks.begin(), doc.blocks.end(),
                                     [&](const Block& b) { return b.under(folded, len); });
        if (it == doc.blocks.end()) continue;
        for (size_t k = 0; k < len; ++k) parts[k] = it->path[k];
        break;
    }

    // Before its first listed descendant (the key exists only through it), else after the last key of the
    // nearest listed branch it belongs to, else at the end.
    size_t at = doc.blocks.size();
    bool found = false;
    for (size_t i = 0; i < doc.blocks.size() && !found; ++i)
        if (doc.blocks[i].under(folded, n)) at = i, found = true;
    for (size_t len = n; len-- > 1 && !found;) {
        for (size_t i = doc.blocks.size(); i-- > 0;)
            if (doc.blocks[i].under(folded, len)) {
                at = i + 1, found = true;
                break;
            }
    }

    // One blank line between keys, as regedit writes them.
    doc.finalEol = true;
    Entry blank;
    blank.lines.push_back(NewLine(doc, ""));
    if (at == 0) {
        if (doc.preamble.empty() || !Trim(doc.preamble.back()).empty()) doc.preamble.push_back(blank.lines[0]);
    } else if (!EndsWithBlankLine(doc.blocks[at - 1].entries)) {
        doc.blocks[at - 1].entries.push_back(blank);
    }

    Block b;
    b.isKey = true;
    b.keyLine = std::string("[") + HiveName(doc.hive);
    for (const auto& p : parts) b.keyLine += "\\" + p;
    b.keyLine = NewLine(doc, b.keyLine + "]");
    b.path = std::move(parts);
    b.folded = folded;
    b.entries.push_back(std::move(blank));
    doc.blocks.insert(doc.blocks.begin() + static_cast<std::ptrdiff_t>(at), std::move(b));
    return at;
}

// Sets a value in a key that exists (listed or through a key below it). Returns whether the document changed.
bool SetValue(Document& doc, const std::vector<std::string>& path, const std::vector<std::string>& folded,
              const std::string& name, const Value& value) {
    const std::string foldedName = Fold(name);
    if (Entry* e = FindValue(doc, folded, foldedName)) {
        if (e->value.type == value.type && e->value.data == value.data) return false;
        e->lines = FormatValue(e->name, value, doc);
        e->value = value;
        doc.finalEol = true;
        return true;
    }
    size_t bi = doc.blocks.size();
    for (size_t i = doc.blocks.size(); i-- > 0;)
        if (doc.blocks[i].is(folded)) {
            bi = i;
            break;
        }
    if (bi == doc.blocks.size()) bi = InsertBlock(doc, path, folded);
    auto& entries = doc.blocks[bi].entries;
    size_t at = entries.size();
    while (at > 0 && entries[at - 1].isBlankLine()) --at;
    Entry e;
    e.isValue = true;
    e.name = name;
    e.foldedName = foldedName;
    e.value = value;
    e.lines = FormatValue(name, value, doc);
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(e));
    doc.finalEol = true;
    return true;
}

} // namespace bdlogic::regfile

#endif // _WIN32
