// An environment variable set (or removed, for a null value) for one scope; the old state comes back after it.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace bdlogic::test {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) old_ = qgetenv(name);
        Set(name, value.isNull() ? std::nullopt : std::optional(value));
    }
    ~ScopedEnv() { Set(name_, old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    static void Set(const char* name, const std::optional<QByteArray>& value) {
        if (value) qputenv(name, *value);
        else qunsetenv(name);
    }
    const char* name_;
    std::optional<QByteArray> old_;
};

} // namespace bdlogic::test
