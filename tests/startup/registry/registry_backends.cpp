#include "registry_backends.h"

#ifdef _WIN32
#include "startup/registry/registry_win32.h"
#include <atomic>
#else
#include "startup/registry/reg_file_store.h"
#include "support/fakes.h"
#include <filesystem>
#include <stdlib.h>
#endif

#include <cstdio>

namespace bdlogic::test {

std::vector<BackendKind> AllBackends() {
#ifdef _WIN32
    // Two scratch keys below HKEY_CURRENT_USER stand for the hives, so that the tests need no administrator.
    return {{"Win32", [] {
                 static constexpr const wchar_t* kParent = L"Software\\Corvane\\bdlogic-tests";
                 static std::atomic<unsigned> counter{0};
                 const std::wstring key = std::wstring(kParent) + L"\\" + std::to_wstring(::GetCurrentProcessId()) +
                                          L"-" + std::to_wstring(counter++);
                 HKEY machine = nullptr, user = nullptr;
                 ::RegCreateKeyExW(HKEY_CURRENT_USER, (key + L"\\machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                   nullptr, &machine, nullptr);
                 ::RegCreateKeyExW(HKEY_CURRENT_USER, (key + L"\\user").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                   &user, nullptr);
                 return std::shared_ptr<reg::Backend>(new Win32Registry(machine, user), [=](reg::Backend* r) {
                     delete r;
                     ::RegCloseKey(machine);
                     ::RegCloseKey(user);
                     ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
                     ::RegDeleteKeyW(HKEY_CURRENT_USER,
                                     kParent); // only when no other test's key is left in it
                 });
             }}};
#else
    return {{"Memory", [] { return std::make_shared<MemoryRegistry>(); }},
            {"FileStore", [] {
                 std::string dir = (std::filesystem::temp_directory_path() / "bdlogic-registry-XXXXXX").string();
                 if (!::mkdtemp(dir.data())) dir = "/nonexistent";
                 // The store makes its directory on the first write.
                 return std::shared_ptr<reg::Backend>(new RegFileStore(dir + "/registry"), [dir](reg::Backend* store) {
                     delete store;
                     std::error_code ignored;
                     std::filesystem::remove_all(dir, ignored);
                 });
             }}};
#endif
}

reg::Value Sz(const std::string& text, std::uint32_t type) {
    reg::Value v{type, {text.begin(), text.end()}};
    v.data.push_back(0);
    return v;
}

reg::Value Dword(std::uint32_t n) {
    return {reg::kDword,
            {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n >> 16),
             static_cast<unsigned char>(n >> 24)}};
}

reg::Value Raw(std::uint32_t type, std::vector<unsigned char> bytes) { return {type, std::move(bytes)}; }

std::vector<NamedValue> ContractValues() {
    std::vector<unsigned char> bytes200(200);
    for (size_t i = 0; i < bytes200.size(); ++i) bytes200[i] = static_cast<unsigned char>(i * 7);
    return {
        {"Port", Sz("COM3")},
        {"EmptyText", Sz("")},
        {"Umlauts", Sz("Grüße aus Köln – ½ € Ω Ж")},
        {"Escapes", Sz("C:\\Corvane\\\"quoted\"\\")},
        {"LineBreaks", Sz("line one\r\nline two\n")},
        {"NoNul", Raw(reg::kSz, {'a', 'b', 'c'})},
        {"ExpandUmlaut", Sz("%USERPROFILE%\\Dokumente\\Blutzucker-Ärger", reg::kExpandSz)},
        {"AllBits", Dword(0xFFFFFFFF)},
        {"Binary", Raw(reg::kBinary, bytes200)},
        {"EmptyBinary", Raw(reg::kBinary, {})},
        {"Multi", Raw(7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})},
        {"Qword", Raw(11, {1, 2, 3, 4, 5, 6, 7, 0x80})},
        {"None", Raw(reg::kNone, {0xde, 0xad})},
        {"", Sz("the default value")},
        {"@", Sz("a value named @")},
    };
}

std::string Describe(const std::optional<reg::Value>& value) {
    if (!value) return "absent";
    std::string out = std::to_string(value->type) + ":";
    for (unsigned char b : value->data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", b);
        out += hex;
    }
    return out;
}

} // namespace bdlogic::test
