// Text helpers of the .reg file store: UTF-8 and UTF-16LE, case folding, key paths, string escapes.
#ifndef _WIN32 // the file store is POSIX only, see reg_file_store.cpp

#include "reg_text.h"

namespace bdlogic::regfile {

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

static char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(s[i]) != AsciiLower(prefix[i])) return false;
    return true;
}

bool EqualNoCaseAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

static int HexDigit(char c) {
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
static std::optional<std::pair<char32_t, size_t>> DecodeUtf8(std::string_view s, size_t i,
                                                             bool surrogates = false) {
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

static void AppendUtf8(std::string& out, char32_t cp) {
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

static void AppendUtf16le(std::vector<unsigned char>& out, char32_t cp) {
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
static char32_t FoldCodePoint(char32_t c) {
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

} // namespace bdlogic::regfile

#endif // _WIN32
