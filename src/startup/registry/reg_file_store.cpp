// The .reg file store backend: the registry operations over the two hive files (format and rules in the
// header).
// POSIX only: on Windows the registry itself is used (registry_win32.cpp) and nothing here is built.
#ifndef _WIN32

#include "reg_file_store.h"

#include "platform_registry.h"
#include "reg_document.h"
#include "reg_file_io.h"
#include "reg_text.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace bdlogic {

namespace {

using reg::Hive;
using reg::Value;
using regfile::Document;
using regfile::Entry;
using regfile::FindValue;
using regfile::Fold;
using regfile::FoldAll;
using regfile::InsertBlock;
using regfile::KeyListed;
using regfile::SetValue;
using regfile::SplitPath;

} // namespace

RegFileStore::RegFileStore(std::string directory, RegFileStoreOptions options) : directory_(std::move(directory)) {
    while (directory_.size() > 1 && directory_.back() == '/') directory_.pop_back();
    if (directory_.empty()) directory_ = ".";
    if (!options.report) {
        options.report = [](const std::string& line) {
            std::fprintf(stderr, "%s\n", line.c_str());
            std::fflush(stderr);
        };
    }
    machine_ = std::make_unique<regfile::HiveFile>(directory_, Hive::LocalMachine, options.lockWait, options.report);
    user_ = std::make_unique<regfile::HiveFile>(directory_, Hive::CurrentUser, options.lockWait, options.report);
}

RegFileStore::~RegFileStore() = default;

regfile::HiveFile& RegFileStore::file(Hive hive) { return hive == Hive::LocalMachine ? *machine_ : *user_; }

std::string RegFileStore::hiveFile(Hive hive) const {
    return (hive == Hive::LocalMachine ? machine_ : user_)->path();
}

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
    return KeyListed(file(hive).load(), FoldAll(*parts));
}

std::optional<Value> RegFileStore::queryValue(Hive hive, const std::string& path, const std::string& name) {
    const auto parts = SplitPath(path);
    if (!parts) return std::nullopt;
    const Document doc = file(hive).load();
    const Entry* e = FindValue(doc, FoldAll(*parts), Fold(name));
    if (!e) return std::nullopt;
    return e->value;
}

std::vector<std::string> RegFileStore::valueNames(Hive hive, const std::string& path) {
    const auto parts = SplitPath(path);
    if (!parts) return {};
    return regfile::ValueNames(file(hive).load(), FoldAll(*parts));
}

reg::CreateResult RegFileStore::createKey(Hive hive, const std::string& path, const std::string&) {
    const auto parts = SplitPath(path);
    if (!parts) return reg::CreateResult::Failed;
    const auto folded = FoldAll(*parts);
    // Checked first under the shared lock, so that opening an existing key needs no write access.
    if (KeyListed(file(hive).load(), folded)) return reg::CreateResult::Existed;
    auto result = reg::CreateResult::Existed;
    const bool ok = file(hive).modify([&](Document& doc) {
        if (KeyListed(doc, folded)) return false; // created by someone else meanwhile
        InsertBlock(doc, *parts, folded);
        result = reg::CreateResult::Created;
        return true;
    });
    return ok ? result : reg::CreateResult::Failed;
}

bool RegFileStore::setValue(Hive hive, const std::string& path, const std::string& name, const Value& value) {
    const auto parts = SplitPath(path);
    if (!parts || !regfile::WritableValueName(name)) return false;
    const auto folded = FoldAll(*parts);
    {
        const Document doc = file(hive).load();
        if (!KeyListed(doc, folded)) return false;
        const Entry* e = FindValue(doc, folded, Fold(name));
        if (e && e->value.type == value.type && e->value.data == value.data) return true;
    }
    bool exists = false;
    const bool ok = file(hive).modify([&](Document& doc) {
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
