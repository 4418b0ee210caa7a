// Hive file I/O of the .reg file store: the whole file read under a shared lock, or changed under an exclusive
// one, each waited for a limited time; problems reported in one line each.
#pragma once

#include "reg_document.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Internal to the file store (reg_*.cpp).
namespace bdlogic::regfile {

// Takes one line for a person: "<file>: <reason>".
using ReportLine = std::function<void(const std::string& line)>;

// One hive file. A problem that makes a read see an empty hive, or a write fail, is reported once per reason.
class HiveFile {
public:
    HiveFile(const std::string& dir, Hive hive, std::chrono::milliseconds lockWait, ReportLine report);

    const std::string& path() const { return path_; }

    // The hive as it is now; an empty one when the file is missing or cannot be read.
    Document load();
    // `change` returns whether it changed the document; the file is rewritten only then. False when the file
    // could not be read or written.
    bool modify(const std::function<bool(Document&)>& change);

private:
    void report(const std::string& reason);
    std::chrono::milliseconds lockWait() const;

    std::string dir_;
    std::string path_;
    Hive hive_;
    std::chrono::milliseconds lockWait_;
    bool lockBusy_ = false; // the last wait for the lock timed out
    ReportLine report_;
    std::vector<std::string> reported_;
};

} // namespace bdlogic::regfile
