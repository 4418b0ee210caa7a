#include "fakes.h"

#include <algorithm>
#include <cctype>

namespace bdlogic::test {

void FakeEventPump::processEvents() {
    ++turns_;
    if (everyTurn_) everyTurn_();
    // Actions may schedule further actions, so take the due ones out first.
    const auto due = std::stable_partition(scheduled_.begin(), scheduled_.end(), [&](const Scheduled& s) {
        return static_cast<std::int32_t>(now_ - s.when) < 0;
    });
    std::vector<Scheduled> run(std::make_move_iterator(due), std::make_move_iterator(scheduled_.end()));
    scheduled_.erase(due, scheduled_.end());
    for (auto& s : run) s.action();
}

void FakeEventPump::waitForEvents(std::uint32_t ms) {
    // Wake early for the next scheduled action, as a real event loop would for an arriving event.
    std::uint32_t step = ms;
    for (const auto& s : scheduled_)
        if (static_cast<std::int32_t>(s.when - now_) >= 0) step = std::min(step, s.when - now_);
    now_ += std::max<std::uint32_t>(step, 1);
}

MemoryRegistry::Key MemoryRegistry::KeyOf(reg::Hive hive, const std::string& path) {
    return {static_cast<int>(hive), Fold(path)};
}

std::string MemoryRegistry::Fold(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

const reg::Value* MemoryRegistry::find(reg::Hive hive, const std::string& path, const std::string& name) const {
    const auto k = keys_.find(KeyOf(hive, path));
    if (k == keys_.end()) return nullptr;
    const auto v = k->second.find(Fold(name));
    return v == k->second.end() ? nullptr : &v->second;
}

void MemoryRegistry::put(reg::Hive hive, const std::string& path, const std::string& name, const reg::Value& v) {
    keys_[KeyOf(hive, path)][Fold(name)] = v;
    auto& names = names_[KeyOf(hive, path)];
    if (std::ranges::none_of(names, [&](const std::string& n) { return Fold(n) == Fold(name); }))
        names.push_back(name);
}

bool MemoryRegistry::keyExists(reg::Hive hive, const std::string& path) {
    const std::string folded = Fold(path);
    return std::ranges::any_of(keys_, [&](const auto& key) {
        const auto& [keyHive, keyPath] = key.first;
        return keyHive == static_cast<int>(hive) && (keyPath == folded || keyPath.starts_with(folded + "\\"));
    });
}

std::optional<reg::Value> MemoryRegistry::queryValue(reg::Hive hive, const std::string& path, const std::string& name) {
    const reg::Value* v = find(hive, path, name);
    return v ? std::optional(*v) : std::nullopt;
}

reg::CreateResult MemoryRegistry::createKey(reg::Hive hive, const std::string& path, const std::string&) {
    if (keyExists(hive, path)) return reg::CreateResult::Existed;
    keys_[KeyOf(hive, path)];
    return reg::CreateResult::Created;
}

bool MemoryRegistry::setValue(reg::Hive hive, const std::string& path, const std::string& name, const reg::Value& value) {
    // A key that exists only as the parent of a created key takes values too, as in the real registry.
    if (!keyExists(hive, path)) return false;
    put(hive, path, name, value);
    ++writes;
    return true;
}

std::vector<std::string> MemoryRegistry::valueNames(reg::Hive hive, const std::string& path) {
    const auto n = names_.find(KeyOf(hive, path));
    return n == names_.end() ? std::vector<std::string>{} : n->second;
}

void MemoryRegistry::putString(reg::Hive hive, const std::string& path, const std::string& name, const std::string& text) {
    reg::Value v{reg::kSz, {text.begin(), text.end()}};
    v.data.push_back(0);
    put(hive, path, name, v);
}

void MemoryRegistry::putDword(reg::Hive hive, const std::string& path, const std::string& name, std::uint32_t n) {
    put(hive, path, name, {reg::kDword, {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                         static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)}});
}

std::optional<std::string> MemoryRegistry::string(reg::Hive hive, const std::string& path, const std::string& name) const {
    const reg::Value* v = find(hive, path, name);
    if (!v || v->type != reg::kSz) return std::nullopt;
    std::string s(v->data.begin(), v->data.end());
    if (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

} // namespace bdlogic::test
