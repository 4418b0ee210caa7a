// The .reg file store: parsing, editing and atomic rewriting of the two hive files (format and rules in the
// header).
// POSIX only: on Windows the registry itself is used (registry_win32.cpp) and nothing here is built.
#ifndef _WIN32

#include "reg_file_store.h"

#include "platform_registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace bdlogic {

namespace {

using reg::Hive;
using reg::Value;

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";
// Hive files are small; anything beyond this is not one and is not read into memory.
constexpr off_t kMaxFileSize = 256 * 1024 * 1024;

const char* HiveName(Hive hive) {
    return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}
const char* HiveShortName(Hive hive) { return hive == Hive::LocalMachine ? "HKLM" : "HKCU"; }

// ---------------------------------------------------------------------------------------------------------
// Text helpers

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(s[i]) != AsciiLower(prefix[i])) return false;
    return true;
}

bool EqualNoCaseAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// 1 to 8 hex digits and nothing else.
std::optional<std::uint32_t> ParseHex32(std::string_view s) {
    if (s.empty() || s.size() > 8) return std::nullopt;
    std::uint32_t n = 0;
    for (char c : s) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        n = (n << 4) | static_cast<std::uint32_t>(d);
    }
    return n;
}

// One UTF-8 sequence at s[i]: its code point and length, or nothing when the bytes are not well formed.
// `surrogates` lets encoded UTF-16 surrogates through (the generalised UTF-8 used for lone surrogates read from a
// UTF-16 file, so that such a file is written back as it was).
std::optional<std::pair<char32_t, size_t>> DecodeUtf8(std::string_view s, size_t i, bool surrogates = false) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return std::pair<char32_t, size_t>{b0, 1};
    size_t len;
    char32_t cp;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + len > s.size()) return std::nullopt;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF) return std::nullopt;
    if (cp >= 0xD800 && cp <= 0xDFFF && !surrogates) return std::nullopt;
    return std::pair<char32_t, size_t>{cp, len};
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto d = DecodeUtf8(s, i);
        if (!d) return false;
        i += d->second;
    }
    return true;
}

// UTF-16LE to UTF-8. A lone surrogate becomes U+FFFD, or with `keepLone` its generalised UTF-8 form; an odd last
// byte is left out.
std::string Utf16leToUtf8(const unsigned char* p, size_t n, bool keepLone) {
    std::string out;
    out.reserve(n);
    const size_t units = n / 2;
    for (size_t i = 0; i < units; ++i) {
        char32_t u = p[2 * i] | (p[2 * i + 1] << 8);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t lo = p[2 * i + 2] | (p[2 * i + 3] << 8);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF && !keepLone) u = 0xFFFD;
        AppendUtf8(out, u);
    }
    return out;
}

void AppendUtf16le(std::vector<unsigned char>& out, char32_t cp) {
    auto unit = [&](char32_t u) {
        out.push_back(static_cast<unsigned char>(u & 0xFF));
        out.push_back(static_cast<unsigned char>((u >> 8) & 0xFF));
    };
    if (cp >= 0x10000) {
        cp -= 0x10000;
        unit(0xD800 + (cp >> 10));
        unit(0xDC00 + (cp & 0x3FF));
    } else {
        unit(cp);
    }
}

// UTF-8 to UTF-16LE. A byte that is not well-formed UTF-8 becomes U+FFFD (as MultiByteToWideChar does), or, with
// `keepLone`, is let through as generalised UTF-8 first.
std::vector<unsigned char> Utf8ToUtf16le(std::string_view s, bool keepLone) {
    std::vector<unsigned char> out;
    out.reserve(s.size() * 2);
    for (size_t i = 0; i < s.size();) {
        const auto d = DecodeUtf8(s, i, keepLone);
        if (!d) {
            AppendUtf16le(out, 0xFFFD);
            ++i;
            continue;
        }
        AppendUtf16le(out, d->first);
        i += d->second;
    }
    return out;
}

// The 8-bit text of a REGEDIT4 hex(1)/hex(2) value: UTF-8 as it is (the system code page here); anything else
// read as Latin-1.
std::string EightBitToUtf8(const std::vector<unsigned char>& bytes) {
    std::string s(bytes.begin(), bytes.end());
    if (IsValidUtf8(s)) return s;
    std::string out;
    for (unsigned char b : bytes) AppendUtf8(out, b);
    return out;
}

// Simple lower-case folding of the scripts a host's settings are likely to use; the registry itself folds all
// of Unicode, which this store does not need.
char32_t FoldCodePoint(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

std::string Fold(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto d = DecodeUtf8(s, i);
        if (!d) {
            out += s[i++];
            continue;
        }
        AppendUtf8(out, FoldCodePoint(d->first));
        i += d->second;
    }
    return out;
}

// Key path below the hive: components without empty ones; a trailing backslash is ignored. Nothing for a path
// that cannot be a key (a leading or doubled backslash, a line break or NUL in it).
std::optional<std::vector<std::string>> SplitPath(std::string_view path) {
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    std::vector<std::string> parts;
    if (path.empty()) return parts;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('\\', start);
        const std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty() || part.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
            return std::nullopt;
        parts.emplace_back(part);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return parts;
}

std::vector<std::string> FoldAll(const std::vector<std::string>& parts) {
    std::vector<std::string> out;
    out.reserve(parts.size());
    for (const auto& p : parts) out.push_back(Fold(p));
    return out;
}

std::string Escape(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// \\ and \" are escapes; a backslash before anything else stands for itself.
std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        out += s[i];
    }
    return out;
}

// ---------------------------------------------------------------------------------------------------------
// The document: every line of the file, grouped into the part before the first key and one block per key line.

enum class Encoding { Utf8, Utf8Bom, Utf16le };
enum class Dialect { V5, V4 };

struct Entry {
    bool isValue = false;
    std::vector<std::string> lines; // the physical lines, without line ends
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
    std::string eol = "\n";
    std::vector<std::string> leading; // blank lines before the header
    std::optional<std::string> header;
    std::vector<std::string> preamble; // lines between the header and the first key line
    std::vector<Block> blocks;
    std::string oddTail; // a last odd byte of a UTF-16 file, put back as it was
};

Block ParseKeyLine(const std::string& line, Hive hive) {
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
std::optional<size_t> ParseName(std::string_view s, std::string& name) {
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
std::optional<std::vector<unsigned char>> ParseHexList(std::string_view s) {
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
std::optional<std::pair<std::string, Value>> ParseValueLine(std::string_view line, Dialect dialect) {
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
bool StartsHexValue(std::string_view line) {
    std::string name;
    const std::string_view s = Trim(line);
    const auto pos = ParseName(s, name);
    return pos && StartsWithNoCase(Trim(s.substr(*pos)), "hex");
}

bool EndsWithBackslash(std::string_view s) {
    s = Trim(s);
    return !s.empty() && s.back() == '\\';
}

Document Parse(const std::string& bytes, Hive hive) {
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
    bool eolKnown = false;
    for (size_t pos = 0; pos < text.size();) {
        const size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        std::string line = text.substr(pos, nl - pos);
        const bool crlf = !line.empty() && line.back() == '\r';
        if (crlf) line.pop_back();
        if (!eolKnown) doc.eol = crlf ? "\r\n" : "\n";
        eolKnown = true;
        lines.push_back(std::move(line));
        pos = nl + 1;
    }

    size_t i = 0;
    size_t first = 0;
    while (first < lines.size() && Trim(lines[first]).empty()) ++first;
    if (first < lines.size()) {
        const std::string_view t = Trim(lines[first]);
        if (t == kHeader5 || t == kHeader4) {
            doc.dialect = t == kHeader4 ? Dialect::V4 : Dialect::V5;
            doc.leading.assign(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
            doc.header = lines[first];
            i = first + 1;
        }
    }
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

// A new value's lines, as regedit writes them.
std::vector<std::string> FormatValue(const std::string& name, const Value& v, Dialect dialect) {
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

std::string Serialize(const Document& doc) {
    std::string text;
    auto put = [&](const std::string& line) {
        text += line;
        text += doc.eol;
    };
    for (const auto& line : doc.leading) put(line);
    if (doc.header) put(*doc.header);
    for (const auto& line : doc.preamble) put(line);
    for (const auto& block : doc.blocks) {
        put(block.keyLine);
        for (const auto& e : block.entries)
            for (const auto& line : e.lines) put(line);
    }
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

bool KeyListed(const Document& doc, const std::vector<std::string>& folded) {
    if (folded.empty()) return true; // the hive's root always exists
    for (const auto& b : doc.blocks)
        if (b.under(folded, folded.size())) return true;
    return false;
}

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

bool EndsWithBlankLine(const std::vector<Entry>& entries) {
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
    if (at == 0) {
        if (doc.preamble.empty() || !Trim(doc.preamble.back()).empty()) doc.preamble.emplace_back();
    } else if (!EndsWithBlankLine(doc.blocks[at - 1].entries)) {
        Entry blank;
        blank.lines.emplace_back();
        doc.blocks[at - 1].entries.push_back(std::move(blank));
    }

    Block b;
    b.isKey = true;
    b.keyLine = std::string("[") + HiveName(doc.hive);
    for (const auto& p : parts) b.keyLine += "\\" + p;
    b.keyLine += "]";
    b.path = std::move(parts);
    b.folded = folded;
    Entry blank;
    blank.lines.emplace_back();
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
        e->lines = FormatValue(e->name, value, doc.dialect);
        e->value = value;
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
    e.lines = FormatValue(name, value, doc.dialect);
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(e));
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Files and locks

enum class ReadStatus { Ok, Missing, Failed };

ReadStatus ReadAll(const std::string& path, std::string& out) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
        ::close(fd);
        return ReadStatus::Failed;
    }
    out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || out.size() + static_cast<size_t>(r) > static_cast<size_t>(kMaxFileSize)) {
            ::close(fd);
            out.clear();
            return ReadStatus::Failed;
        }
        if (r == 0) break;
        out.append(buf, static_cast<size_t>(r));
    }
    ::close(fd);
    return ReadStatus::Ok;
}

bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return true;
}

bool MakeDirectories(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos != dir.size() && dir[pos] != '/') continue;
        const std::string part = dir.substr(0, pos);
        if (::mkdir(part.c_str(), 0777) == 0 || errno == EEXIST) continue;
        if (::stat(part.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false; // else a parent we may not write
    }
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string DirectoryOf(const std::string& file) {
    const size_t slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return file.substr(0, slash);
}

// flock on the hive's lock file, held until destruction. Opened read-write and created when possible; a lock
// file that cannot be written is still locked through a read-only descriptor.
class FileLock {
public:
    FileLock(const std::string& path, int operation) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return;
        int r;
        do r = ::flock(fd_, operation);
        while (r != 0 && errno == EINTR);
        if (r != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock() {
        if (fd_ >= 0) ::close(fd_); // closing releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Replaces `target` by a file holding `data`: temporary file in the same directory, fsync, rename, fsync of the
// directory. The hive's permissions are kept.
bool ReplaceFile(const std::string& target, const std::string& data) {
    std::string real = target;
    struct stat lst {};
    if (::lstat(target.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        if (char* resolved = ::realpath(target.c_str(), nullptr)) {
            real = resolved;
            std::free(resolved);
        }
    }
    const std::string dir = DirectoryOf(real);
    const std::string base = real.substr(real.rfind('/') + 1);

    static std::atomic<unsigned> counter{0};
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = dir + "/." + base + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    struct stat st {};
    bool ok = true;
    if (::stat(real.c_str(), &st) == 0) ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tmp.c_str(), real.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

// The hive as it is now, under a shared lock. A file that cannot be read is an empty hive.
Document Load(const std::string& file, Hive hive) {
    std::string bytes;
    {
        // Read unlocked when the lock file cannot be had (no directory yet, read-only): the writers' rename
        // still shows a reader either the old file or the new one.
        FileLock lock(file + ".lock", LOCK_SH);
        if (ReadAll(file, bytes) != ReadStatus::Ok) bytes.clear();
    }
    return Parse(bytes, hive);
}

// Reads the hive under the exclusive lock, lets `change` edit it and writes it back when it changed. False when
// the file could not be read or written.
bool Modify(const std::string& dir, const std::string& file, Hive hive,
            const std::function<bool(Document&)>& change) {
    if (!MakeDirectories(dir)) return false;
    FileLock lock(file + ".lock", LOCK_EX);
    if (!lock.locked()) return false;
    std::string bytes;
    if (ReadAll(file, bytes) == ReadStatus::Failed) return false;
    Document doc = Parse(bytes, hive);
    if (!doc.header) { // before the change, which then sees the blank line after it
        doc.header = std::string(kHeader5);
        doc.preamble.insert(doc.preamble.begin(), std::string());
    }
    if (!change(doc)) return true;
    const std::string out = Serialize(doc);
    return out == bytes || ReplaceFile(file, out);
}

} // namespace

RegFileStore::RegFileStore(std::string directory) : directory_(std::move(directory)) {
    while (directory_.size() > 1 && directory_.back() == '/') directory_.pop_back();
    if (directory_.empty()) directory_ = ".";
}

std::string RegFileStore::hiveFile(Hive hive) const { return directory_ + "/" + HiveName(hive) + ".reg"; }

std::string RegFileStore::defaultDirectory() {
    const char* own = std::getenv("CORVANE_REGISTRY_DIR");
    if (own && *own) return own;
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (home && *home) {
            base = home;
        } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
            base = pw->pw_dir;
        }
        base += "/.config";
    }
    return base + "/Corvane/registry";
}

bool RegFileStore::keyExists(Hive hive, const std::string& path) {
    const auto parts = SplitPath(path);
    if (!parts) return false;
    return KeyListed(Load(hiveFile(hive), hive), FoldAll(*parts));
}

std::optional<Value> RegFileStore::queryValue(Hive hive, const std::string& path, const std::string& name) {
    const auto parts = SplitPath(path);
    if (!parts) return std::nullopt;
    const Document doc = Load(hiveFile(hive), hive);
    const Entry* e = FindValue(doc, FoldAll(*parts), Fold(name));
    if (!e) return std::nullopt;
    return e->value;
}

std::vector<std::string> RegFileStore::valueNames(Hive hive, const std::string& path) {
    std::vector<std::string> names;
    const auto parts = SplitPath(path);
    if (!parts) return names;
    const auto folded = FoldAll(*parts);
    const Document doc = Load(hiveFile(hive), hive);
    std::vector<std::string> seen;
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

reg::CreateResult RegFileStore::createKey(Hive hive, const std::string& path, const std::string&) {
    const auto parts = SplitPath(path);
    if (!parts) return reg::CreateResult::Failed;
    const auto folded = FoldAll(*parts);
    // Checked first under the shared lock, so that opening an existing key needs no write access.
    if (KeyListed(Load(hiveFile(hive), hive), folded)) return reg::CreateResult::Existed;
    auto result = reg::CreateResult::Existed;
    const bool ok = Modify(directory_, hiveFile(hive), hive, [&](Document& doc) {
        if (KeyListed(doc, folded)) return false; // created by someone else meanwhile
        InsertBlock(doc, *parts, folded);
        result = reg::CreateResult::Created;
        return true;
    });
    return ok ? result : reg::CreateResult::Failed;
}

bool RegFileStore::setValue(Hive hive, const std::string& path, const std::string& name, const Value& value) {
    const auto parts = SplitPath(path);
    if (!parts || name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return false;
    const auto folded = FoldAll(*parts);
    {
        const Document doc = Load(hiveFile(hive), hive);
        if (!KeyListed(doc, folded)) return false;
        const Entry* e = FindValue(doc, folded, Fold(name));
        if (e && e->value.type == value.type && e->value.data == value.data) return true;
    }
    bool exists = false;
    const bool ok = Modify(directory_, hiveFile(hive), hive, [&](Document& doc) {
        exists = KeyListed(doc, folded);
        return exists && SetValue(doc, *parts, folded, name, value);
    });
    return ok && exists;
}

std::unique_ptr<reg::Backend> CreatePlatformRegistry() {
    return std::make_unique<RegFileStore>(RegFileStore::defaultDirectory());
}

} // namespace bdlogic

#endif // _WIN32
