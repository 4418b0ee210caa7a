// Test doubles for the core's interfaces: a simulated clock that never sleeps, a message box and a status line
// that record what they were given, and a registry held in memory.
#pragma once

#include "startup/event_pump.h"
#include "startup/registry/registry_backend.h"
#include "startup/user_notice.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bdlogic::test {

// Time moves only when the code under test waits. Scheduled actions run from processEvents once their time has
// come, as window events would.
class FakeEventPump : public EventPump {
public:
    explicit FakeEventPump(std::uint32_t start = 0) : now_(start) {}

    std::uint32_t tickCount() override { return now_; }
    void processEvents() override;
    void waitForEvents(std::uint32_t ms) override;

    // Runs `action` at the first processEvents at or after `when` ms (absolute counter value).
    void at(std::uint32_t when, std::function<void()> action) { scheduled_.push_back({when, std::move(action)}); }
    // Runs `action` on every processEvents call.
    void onEveryTurn(std::function<void()> action) { everyTurn_ = std::move(action); }
    std::uint32_t now() const { return now_; }
    int turns() const { return turns_; }

private:
    struct Scheduled {
        std::uint32_t when;
        std::function<void()> action;
    };
    std::uint32_t now_;
    int turns_ = 0;
    std::vector<Scheduled> scheduled_;
    std::function<void()> everyTurn_;
};

class RecordingMessageBox : public MessageBox {
public:
    struct Shown {
        QString text;
        QString title;
        MessageIcon icon;
    };
    void show(const QString& text, const QString& title, MessageIcon icon) override {
        shown.push_back({text, title, icon});
        if (onShow) onShow();
    }
    std::vector<Shown> shown;
    std::function<void()> onShow;
};

class RecordingStatusLine : public StatusLine {
public:
    void showStep(const QString& text) override { steps << text; }
    QStringList steps;
};

// Keys compare without regard to case, as in the real registry.
class MemoryRegistry : public reg::Backend {
public:
    bool keyExists(reg::Hive hive, const std::string& path) override;
    std::optional<reg::Value> queryValue(reg::Hive hive, const std::string& path, const std::string& name) override;
    reg::CreateResult createKey(reg::Hive hive, const std::string& path, const std::string& keyClass) override;
    bool setValue(reg::Hive hive, const std::string& path, const std::string& name, const reg::Value& value) override;
    std::vector<std::string> valueNames(reg::Hive hive, const std::string& path) override;

    // Test helpers: put a REG_SZ / REG_DWORD value, creating the key; read a value back as text (REG_SZ only).
    void putString(reg::Hive hive, const std::string& path, const std::string& name, const std::string& text);
    void putDword(reg::Hive hive, const std::string& path, const std::string& name, std::uint32_t n);
    std::optional<std::string> string(reg::Hive hive, const std::string& path, const std::string& name) const;
    int writes = 0;

private:
    using Key = std::pair<int, std::string>;
    using Values = std::map<std::string, reg::Value>;
    static Key KeyOf(reg::Hive hive, const std::string& path);
    static std::string Fold(std::string s);
    const reg::Value* find(reg::Hive hive, const std::string& path, const std::string& name) const;
    void put(reg::Hive hive, const std::string& path, const std::string& name, const reg::Value& value);

    std::map<Key, Values> keys_;
    std::map<Key, std::vector<std::string>> names_; // value names in the order first written, per key
};

} // namespace bdlogic::test
