#include "registry_backends.h"

#ifdef _WIN32
#include "startup/registry/registry_win32.h"
#include <atomic>
#else
#include "startup/registry/reg_file_store.h"
#include "support/fakes.h"
#include <filesystem>
#include <unistd.h>
#endif

#include <cstdio>

namespace bdlogic::test {

namespace {

#ifndef _WIN32
class MemoryUnderTest : public BackendUnderTest {
public:
    reg::Backend& backend() override { return registry_; }

private:
    MemoryRegistry registry_;
};

// The store creates its directory, unique to this object, on the first write; one left by an earlier process
// of the same id goes first.
class FileStoreUnderTest : public BackendUnderTest {
public:
    FileStoreUnderTest() : store_(Unique()) { Remove(); }
    ~FileStoreUnderTest() override { Remove(); }
    reg::Backend& backend() override { return store_; }

private:
    void Remove() {
        std::error_code ignored;
        std::filesystem::remove_all(store_.directory(), ignored);
    }
    static std::string Unique() {
        static int counter = 0;
        return (std::filesystem::temp_directory_path() /
                ("bdlogic-registry-" + std::to_string(::getpid()) + "-" + std::to_string(counter++)))
            .string();
    }
    RegFileStore store_;
};
#else
// Two scratch keys below HKEY_CURRENT_USER stand for the two hives, so that the tests need no administrator.
// The scratch key and its parent are removed with the object.
class Win32UnderTest : public BackendUnderTest {
public:
    Win32UnderTest() {
        static std::atomic<unsigned> counter{0};
        scratch_ = std::wstring(kParent) + L"\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(counter++);
        ::RegCreateKeyExW(HKEY_CURRENT_USER, (scratch_ + L"\\machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &machine_, nullptr);
        ::RegCreateKeyExW(HKEY_CURRENT_USER, (scratch_ + L"\\user").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &user_, nullptr);
        registry_ = std::make_unique<Win32Registry>(machine_, user_);
    }
    ~Win32UnderTest() override {
        registry_.reset();
        if (machine_) ::RegCloseKey(machine_);
        if (user_) ::RegCloseKey(user_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, scratch_.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kParent); // only when no other test's scratch key is left in it
    }
    reg::Backend& backend() override { return *registry_; }

private:
    static constexpr const wchar_t* kParent = L"Software\\Corvane\\bdlogic-tests";
    std::wstring scratch_;
    HKEY machine_ = nullptr;
    HKEY user_ = nullptr;
    std::unique_ptr<Win32Registry> registry_;
};
#endif

} // namespace

std::vector<BackendKind> AllBackends() {
#ifdef _WIN32
    return {{"Win32", [] { return std::make_unique<Win32UnderTest>(); }}};
#else
    return {{"Memory", [] { return std::make_unique<MemoryUnderTest>(); }},
            {"FileStore", [] { return std::make_unique<FileStoreUnderTest>(); }}};
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

std::string Describe(const reg::Value& value) {
    std::string out = std::to_string(value.type) + ":";
    for (unsigned char b : value.data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", b);
        out += hex;
    }
    return out;
}

} // namespace bdlogic::test
