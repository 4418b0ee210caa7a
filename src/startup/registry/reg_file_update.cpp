// One read-modify-write of a hive file: the registry operations over the document that the hive file's modify
// holds under its exclusive lock, so that a caller can read, decide and write with no other writer in between.
// POSIX only, like the rest of the file store.
#ifndef _WIN32

#include "reg_document.h"
#include "reg_file_io.h"
#include "reg_file_store.h"
#include "reg_text.h"


namespace bdlogic {

namespace {

using reg::Hive;
using reg::Value;
using regfile::Document;
using regfile::Fold;
using regfile::FoldAll;
using regfile::KeyListed;
using regfile::SplitPath;

// The store's operations on one hive held in memory; the other hive is out of reach.
class DocumentView final : public reg::Backend {
public:
    explicit DocumentView(Document& doc) : doc_(doc) {}

    bool keyExists(Hive hive, const std::string& path) override {
        const auto folded = Folded(hive, path);
        return folded && KeyListed(doc_, *folded);
    }

    std::optional<Value> queryValue(Hive hive, const std::string& path, const std::string& name) override {
        const auto folded = Folded(hive, path);
        const regfile::Entry* e = folded ? regfile::FindValue(doc_, *folded, Fold(name)) : nullptr;
        if (!e) return std::nullopt;
        return e->value;
    }

    reg::CreateResult createKey(Hive hive, const std::string& path, const std::string&) override {
        const auto parts = SplitPath(path);
        if (hive != doc_.hive || !parts) return reg::CreateResult::Failed;
        const auto folded = FoldAll(*parts);
        if (KeyListed(doc_, folded)) return reg::CreateResult::Existed;
        regfile::InsertBlock(doc_, *parts, folded);
        return reg::CreateResult::Created;
    }

    bool setValue(Hive hive, const std::string& path, const std::string& name, const Value& value) override {
        const auto parts = SplitPath(path);
        if (hive != doc_.hive || !parts || !regfile::WritableValueName(name)) return false;
        const auto folded = FoldAll(*parts);
        if (!KeyListed(doc_, folded)) return false;
        regfile::SetValue(doc_, *parts, folded, name, value);
        return true;
    }

    std::vector<std::string> valueNames(Hive hive, const std::string& path) override {
        const auto folded = Folded(hive, path);
        return folded ? regfile::ValueNames(doc_, *folded) : std::vector<std::string>{};
    }

private:
    std::optional<std::vector<std::string>> Folded(Hive hive, const std::string& path) const {
        const auto parts = SplitPath(path);
        if (hive != doc_.hive || !parts) return std::nullopt;
        return FoldAll(*parts);
    }

    Document& doc_;
};

} // namespace

bool RegFileStore::update(Hive hive, const std::function<bool(reg::Backend&)>& change) {
    return file(hive).modify([&](Document& doc) {
        DocumentView view(doc);
        return change(view);
    });
}

} // namespace bdlogic

#endif // _WIN32
