// Puts the contract's values into a registry key, or checks that the key holds them unchanged. Run over the .reg
// file store and, built for Windows, over the real registry, with regedit carrying the key between them, it shows
// that the store's files and regedit's mean the same values.
//   registry_interop write|check DIR [EXCEPT]   the .reg file store in DIR (not on Windows)
//   registry_interop write|check [EXCEPT]       the registry of the running system (on Windows)
// The key is HKEY_CURRENT_USER\Software\Corvane\bdlogic-interop. EXCEPT names, separated by commas, the values
// that the caller knows a tool between the two changes; they are left out. Exit status 0 when all matched.
#include "registry_backends.h"

#ifdef _WIN32
#include "startup/registry/registry_win32.h"
#else
#include "startup/registry/reg_file_store.h"
#endif

#include <cstdio>
#include <string>

using namespace bdlogic;

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
#ifdef _WIN32
    Win32Registry registry;
    const int rest = 2;
#else
    RegFileStore registry(argc > 2 ? argv[2] : "");
    const int rest = 3;
#endif
    if ((mode != "write" && mode != "check") || argc < rest || argc > rest + 1) {
        std::fprintf(stderr, "usage: registry_interop write|check [DIR] [EXCEPT]\n");
        return 2;
    }
    const std::string except = "," + std::string(argc > rest ? argv[rest] : "") + ",";
    const reg::Hive hive = reg::Hive::CurrentUser;
    const std::string key = "Software\\Corvane\\bdlogic-interop";
    int count = 0;
    int failures = mode == "write" && registry.createKey(hive, key, "") == reg::CreateResult::Failed;
    for (const auto& [name, value] : test::ContractValues()) {
        if (!name.empty() && except.find("," + name + ",") != std::string::npos) continue;
        ++count;
        const std::string want = test::Describe(value);
        const std::string got = mode == "check" ? test::Describe(registry.queryValue(hive, key, name))
                                : registry.setValue(hive, key, name, value) ? want : "not written";
        if (got == want) continue;
        std::fprintf(stderr, "\"%s\": %s, expected %s\n", name.c_str(), got.c_str(), want.c_str());
        ++failures;
    }
    std::printf("%s %d values: %d failed\n", mode == "write" ? "wrote" : "checked", count, failures);
    return failures ? 1 : 0;
}
