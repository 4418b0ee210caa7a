#include "fakes.h"

#include <algorithm>
#include <cctype>

namespace bdlogic::test {

void FakeEventPump::processEvents() {
    ++turns_;
    if (everyTurn_) everyTurn_();
    // Actions may schedule further actions, so take the due ones out first.
    std::vector<Scheduled> due;
    auto it = std::stable_partition(scheduled_.begin(), scheduled_.end(),
                                    [&](const Scheduled& s) { return static_cast<std::int32_t>(now_ - s.when) < 0; });
    due.assign(std::make_move_iterator(it), std::make_move_iterator(scheduled_.end()));
    scheduled_.erase(it, scheduled_.end());
    for (auto& s : due) s.action();
}

void FakeEventPump::waitForEvents(std::uint32_t ms) {
    // Wake early for the next scheduled action, as a real event loop would for an arriving event.
    std::uint32_t step = ms;
    for (const auto& s : scheduled_) {
        const std::uint32_t until = s.when - now_;
        if (static_cast<std::int32_t>(until) >= 0 && until < step) step = until;
    }
    now_ += std::max<std::uint32_t>(step, 1);
}

void FakeEventPump::at(std::uint32_t when, std::function<void()> action) {
    scheduled_.push_back({when, std::move(action)});
}

std::string MemoryRegistry::Fold(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool MemoryRegistry::keyExists(reg::Hive hive, const std::string& path) {
    const std::string folded = Fold(path);
    for (const auto& [key, values] : keys_) {
        if (key.first != static_cast<int>(hive)) continue;
        if (key.second == folded || key.second.rfind(folded + "\\", 0) == 0) return true;
    }
    return false;
}

std::optional<reg::Value> MemoryRegistry::queryValue(reg::Hive hive, const std::string& path, const std::string& name) {
    const auto k = keys_.find({static_cast<int>(hive), Fold(path)});
    if (k == keys_.end()) return std::nullopt;
    const auto v = k->second.find(Fold(name));
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

reg::CreateResult MemoryRegistry::createKey(reg::Hive hive, const std::string& path, const std::string&) {
    if (keyExists(hive, path)) return reg::CreateResult::Existed;
    keys_[{static_cast<int>(hive), Fold(path)}];
    return reg::CreateResult::Created;
}

bool MemoryRegistry::setValue(reg::Hive hive, const std::string& path, const std::string& name, const reg::Value& value) {
    // A key that exists only as the parent of a created key takes values too, as in the real registry.
    if (!keyExists(hive, path)) return false;
    keys_[{static_cast<int>(hive), Fold(path)}][Fold(name)] = value;
    rememberName(hive, path, name);
    ++writes;
    return true;
}

void MemoryRegistry::putString(reg::Hive hive, const std::string& path, const std::string& name, const std::string& text) {
    keys_[{static_cast<int>(hive), Fold(path)}];
    reg::Value v{reg::kSz, {text.begin(), text.end()}};
    v.data.push_back(0);
    keys_[{static_cast<int>(hive), Fold(path)}][Fold(name)] = v;
    rememberName(hive, path, name);
}

void MemoryRegistry::putDword(reg::Hive hive, const std::string& path, const std::string& name, std::uint32_t n) {
    reg::Value v{reg::kDword, {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                               static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)}};
    keys_[{static_cast<int>(hive), Fold(path)}][Fold(name)] = v;
    rememberName(hive, path, name);
}

void MemoryRegistry::rememberName(reg::Hive hive, const std::string& path, const std::string& name) {
    auto& names = names_[{static_cast<int>(hive), Fold(path)}];
    const auto same = [&](const std::string& n) { return Fold(n) == Fold(name); };
    if (std::none_of(names.begin(), names.end(), same)) names.push_back(name);
}

std::vector<std::string> MemoryRegistry::valueNames(reg::Hive hive, const std::string& path) {
    const auto n = names_.find({static_cast<int>(hive), Fold(path)});
    return n == names_.end() ? std::vector<std::string>{} : n->second;
}

std::optional<std::string> MemoryRegistry::string(reg::Hive hive, const std::string& path, const std::string& name) const {
    const auto k = keys_.find({static_cast<int>(hive), Fold(path)});
    if (k == keys_.end()) return std::nullopt;
    const auto v = k->second.find(Fold(name));
    if (v == k->second.end() || v->second.type != reg::kSz) return std::nullopt;
    std::string s(v->second.data.begin(), v->second.data.end());
    if (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

} // namespace bdlogic::test
