// Puts the contract's values into a registry key, or checks that the key holds them unchanged. Run once over the
// .reg file store and once, built for Windows, over the real registry, with regedit importing or exporting the
// key in between, it shows that the store's files and regedit's mean the same values.
//   registry_interop write|check DIR [--except NAME,...]   the .reg file store in DIR (not on Windows)
//   registry_interop write|check [--except NAME,...]       the registry of the running system (on Windows)
// The key is HKEY_CURRENT_USER\Software\Corvane\bdlogic-interop. --except leaves out the values that the
// caller knows a tool between the two changes. Exit status 0 when every value matched.
#include "registry_backends.h"

#ifdef _WIN32
#include "startup/registry_win32.h"
#else
#include "startup/reg_file_store.h"
#endif

#include <cstdio>
#include <cstring>
#include <string>

using namespace bdlogic;

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const bool write = mode == "write";
    std::string dir;
    std::string except = ",";
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--except") == 0 && i + 1 < argc)
            except += std::string(argv[++i]) + ",";
        else
            dir = argv[i];
    }
#ifdef _WIN32
    const bool usage = !dir.empty();
    Win32Registry registry;
#else
    const bool usage = dir.empty();
    RegFileStore registry(dir);
#endif
    if (usage || (!write && mode != "check")) {
        std::fprintf(stderr, "usage: registry_interop write|check [DIR] [--except NAME,...]\n");
        return 2;
    }
    const reg::Hive hive = reg::Hive::CurrentUser;
    const std::string key = "Software\\Corvane\\bdlogic-interop";
    int failures = 0;
    if (write && registry.createKey(hive, key, "") == reg::CreateResult::Failed) ++failures;
    int count = 0;
    for (const auto& [name, value] : test::ContractValues()) {
        if (except.find("," + name + ",") != std::string::npos) continue;
        ++count;
        if (write) {
            if (!registry.setValue(hive, key, name, value)) {
                std::fprintf(stderr, "could not write \"%s\"\n", name.c_str());
                ++failures;
            }
            continue;
        }
        const auto got = registry.queryValue(hive, key, name);
        const std::string gotText = got ? test::Describe(*got) : "absent";
        if (gotText != test::Describe(value)) {
            std::fprintf(stderr, "\"%s\": read %s, expected %s\n", name.c_str(), gotText.c_str(),
                         test::Describe(value).c_str());
            ++failures;
        }
    }
    std::printf("%s %d values: %d failed\n", write ? "wrote" : "checked", count, failures);
    return failures ? 1 : 0;
}
