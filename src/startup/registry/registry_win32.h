// The registry on Windows: reg::Backend over the Win32 registry functions (wide-character forms; texts converted
// between UTF-8 and UTF-16). Built only on Windows.
#pragma once

#ifdef _WIN32

#include "registry_backend.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace bdlogic {

class Win32Registry : public reg::Backend {
public:
    // The hives are HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
    Win32Registry();
    // The hives are the given open keys (tests use scratch keys below HKEY_CURRENT_USER); not closed here.
    Win32Registry(HKEY machineRoot, HKEY userRoot);

    bool keyExists(reg::Hive hive, const std::string& path) override;
    std::optional<reg::Value> queryValue(reg::Hive hive, const std::string& path, const std::string& name) override;
    reg::CreateResult createKey(reg::Hive hive, const std::string& path, const std::string& keyClass) override;
    bool setValue(reg::Hive hive, const std::string& path, const std::string& name, const reg::Value& value) override;
    std::vector<std::string> valueNames(reg::Hive hive, const std::string& path) override;

private:
    HKEY root(reg::Hive hive) const { return hive == reg::Hive::LocalMachine ? machine_ : user_; }

    HKEY machine_;
    HKEY user_;
};

} // namespace bdlogic

#endif // _WIN32
