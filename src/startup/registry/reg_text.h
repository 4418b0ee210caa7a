// Text helpers of the .reg file store: UTF-8 and UTF-16LE, case folding, key paths, string escapes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Internal to the file store (reg_*.cpp); comments on each at its definition.
namespace bdlogic::regfile {

bool IsBlank(char c);
// Without blanks, tabs and CRs at either end.
std::string_view Trim(std::string_view s);
std::string_view TrimLeft(std::string_view s);
// ASCII letters only, as regedit's keywords and hive names compare.
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool EqualNoCaseAscii(std::string_view a, std::string_view b);
std::optional<std::uint32_t> ParseHex32(std::string_view s);

bool IsValidUtf8(std::string_view s);
std::string Utf16leToUtf8(const unsigned char* p, size_t n, bool keepLone);
std::vector<unsigned char> Utf8ToUtf16le(std::string_view s, bool keepLone);
std::string EightBitToUtf8(const std::vector<unsigned char>& bytes);

// The form in which keys and value names compare.
std::string Fold(std::string_view s);
std::optional<std::vector<std::string>> SplitPath(std::string_view path);
std::vector<std::string> FoldAll(const std::vector<std::string>& parts);

// The quoted strings of value lines.
std::string Escape(std::string_view s);
std::string Unescape(std::string_view s);

} // namespace bdlogic::regfile
