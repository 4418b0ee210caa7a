// Hive file I/O of the .reg file store: the whole file read under a shared lock, or changed under an exclusive one.
#pragma once

#include "reg_document.h"

#include <functional>
#include <string>

// Internal to the file store (reg_*.cpp).
namespace bdlogic::regfile {

Document Load(const std::string& file, Hive hive);
// `change` returns whether it changed the document; the file is rewritten only then.
bool Modify(const std::string& dir, const std::string& file, Hive hive,
            const std::function<bool(Document&)>& change);

} // namespace bdlogic::regfile
