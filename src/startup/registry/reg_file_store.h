// The registry off Windows: the two hives as regedit export files (HKEY_LOCAL_MACHINE.reg, HKEY_CURRENT_USER.reg)
// in one directory, read and written so that the host, sharing the files, loses nothing.
//
// File format:
// - first line "Windows Registry Editor Version 5.00", or "REGEDIT4"; UTF-8 (with or without BOM) or UTF-16LE
//   with BOM; CR LF or LF line ends.
// - key lines "[HKEY_LOCAL_MACHINE\SOFTWARE\...]" (HKLM / HKCU accepted as the root too); value lines
//   "Name"="text" (escapes \\ and \"), "Name"=dword:0000000a, "Name"=hex:.., "Name"=hex(n):.., @= for the
//   default value; hex lists may continue on the next line after a trailing backslash.
// - In a 5.00 file hex(1) and hex(2) hold UTF-16LE; in a REGEDIT4 file they hold 8-bit text. Across the
//   Backend interface both REG_SZ and REG_EXPAND_SZ are UTF-8 (see registry_backend.h); the store converts.
// - Keys and value names compare without regard to case (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic) and
//   keep the case they were created with. A key exists when it or a key below it is listed.
//
// Reading and writing:
// - Every operation reads the file anew; nothing is cached, so changes by the host are seen at once.
// - Reads hold a shared flock on "<hive file>.lock" (a separate file in the same directory, created when
//   missing); writes hold an exclusive one while they read the file, change it, write "<dir>/.<hive>.tmp.*",
//   fsync it and rename it over the hive file (then fsync the directory). A reader therefore sees the old file
//   or the new one, never half of one, and two writers never lose each other's values. A hive file that is a
//   symbolic link is replaced at its target.
// - The lock is waited for at most `lockWait` (10 s): then a write fails, leaving the file, and a read goes on
//   without it. While the lock stays held no operation waits again, so a host that keeps it costs one wait.
// - A write changes only what it must: every line it does not touch is written back byte for byte, with its own
//   line end (in the file's own encoding, BOM, header and dialect); the lines it writes end as the file's first
//   line does, and a last line without a line end gets one. Reading a file and writing it back unchanged gives
//   the same bytes. A changed value is rewritten in place (keeping its name's case); a value that already holds
//   the data is not rewritten at all, and a write that changes nothing leaves the file untouched.
// - New values go after the last non-blank line of their key's (last) block; a new key goes after the subtree of
//   its nearest listed ancestor, before its first listed descendant when it already exists implicitly, else at
//   the end; each new block ends in a blank line, as regedit writes them. A new file starts with the 5.00
//   header and a blank line and uses LF line ends.
// - REG_SZ data that a quoted string cannot carry (CR, LF, a NUL before the end, no final NUL, bytes that are
//   not UTF-8) is written as hex(1):; REG_EXPAND_SZ always as hex(2):, REG_DWORD of 4 bytes as dword:, REG_BINARY
//   as hex:, every other type as hex(n):; long hex lists wrap at 80 columns as regedit wraps them.
//
// Malformed input is kept, never dropped and never trusted:
// - A line that cannot be read (a bad value line, a deletion line "Name"=-, a stray text) stays verbatim where
//   it is, inside its key block, and is ignored by reads. A hex value whose continuation lines fail to parse is
//   kept as all of its lines.
// - A key line that cannot be read, a deletion key "[-HKEY...]" and a key of another root start an opaque
//   block: that line and everything up to the next good key line are kept verbatim and are invisible to reads,
//   so a broken key line never lends its values to the key before it.
// - A missing file, or one of blank lines alone, is an empty hive; the first write gives it the 5.00 header and a
//   blank line. A file that is not a hive in one of the forms above (no header line: another encoding, binary
//   data, other text) or that cannot be read (permissions, a directory) reads as an empty hive and is never
//   written, so it is never replaced by one.
// - A write to a file without write permission fails and leaves it as it is, as on Windows (the rename would
//   replace it, and root ignores the mode anyway).
//
// Problems are reported, once per file and reason, as one line "<hive file>: <reason>" (standard error unless
// the options name another place).
//
// Standard library and POSIX only; not built on Windows, where registry_win32.cpp serves the real registry.
#pragma once

#include "registry_backend.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bdlogic {

namespace regfile {
class HiveFile;
}

struct RegFileStoreOptions {
    // How long a read or a write waits for a hive's lock.
    std::chrono::milliseconds lockWait{10000};
    // Takes each line "<hive file>: <reason>" about a hive that could not be read or written, once per file and
    // reason; standard error when not set.
    std::function<void(const std::string& line)> report;
};

class RegFileStore : public reg::Backend {
public:
    // `directory` holds the two hive files; it is created (with missing parents) on the first write.
    explicit RegFileStore(std::string directory, RegFileStoreOptions options = {});
    ~RegFileStore() override;
    RegFileStore(const RegFileStore&) = delete;
    RegFileStore& operator=(const RegFileStore&) = delete;

    bool keyExists(reg::Hive hive, const std::string& path) override;
    std::optional<reg::Value> queryValue(reg::Hive hive, const std::string& path, const std::string& name) override;
    // The key class has no place in a .reg file and is dropped.
    reg::CreateResult createKey(reg::Hive hive, const std::string& path, const std::string& keyClass) override;
    bool setValue(reg::Hive hive, const std::string& path, const std::string& name, const reg::Value& value) override;
    // In file order, each name once (as first listed), over every block of the key.
    std::vector<std::string> valueNames(reg::Hive hive, const std::string& path) override;
    // Under the hive's exclusive lock throughout (reg_file_update.cpp).
    bool update(reg::Hive hive, const std::function<bool(reg::Backend&)>& change) override;

    const std::string& directory() const { return directory_; }
    // Full path of a hive's file: <directory>/HKEY_LOCAL_MACHINE.reg or <directory>/HKEY_CURRENT_USER.reg.
    std::string hiveFile(reg::Hive hive) const;

    // $CORVANE_REGISTRY_DIR when set and not empty, else ${XDG_CONFIG_HOME:-$HOME/.config}/Corvane/registry
    // (an XDG_CONFIG_HOME that is empty or not absolute counts as unset).
    static std::string defaultDirectory();

private:
    regfile::HiveFile& file(reg::Hive hive);

    std::string directory_;
    std::unique_ptr<regfile::HiveFile> machine_;
    std::unique_ptr<regfile::HiveFile> user_;
};

} // namespace bdlogic
