#include "registry_backends.h"

#include "support/fakes.h"

#ifdef _WIN32
#include "startup/registry_win32.h"
#include <atomic>
#include <string>
#else
#include "startup/reg_file_store.h"
#endif

#include <QTemporaryDir>

namespace bdlogic::test {

namespace {

class MemoryUnderTest : public BackendUnderTest {
public:
    reg::Backend& backend() override { return registry_; }

private:
    MemoryRegistry registry_;
};

#ifndef _WIN32
class FileStoreUnderTest : public BackendUnderTest {
public:
    FileStoreUnderTest() : store_(dir_.path().toStdString() + "/registry") {}
    reg::Backend& backend() override { return store_; }

private:
    QTemporaryDir dir_;
    RegFileStore store_;
};
#endif

#ifdef _WIN32
// Two scratch keys below HKEY_CURRENT_USER stand for the two hives, so that the tests need no administrator.
class Win32UnderTest : public BackendUnderTest {
public:
    Win32UnderTest() {
        static std::atomic<unsigned> counter{0};
        scratch_ = L"Software\\Corvane\\bdlogic-tests\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
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
    }
    reg::Backend& backend() override { return *registry_; }

private:
    std::wstring scratch_;
    HKEY machine_ = nullptr;
    HKEY user_ = nullptr;
    std::unique_ptr<Win32Registry> registry_;
};
#endif

} // namespace

std::vector<BackendKind> AllBackends() {
    std::vector<BackendKind> kinds{{"Memory", [] { return std::make_unique<MemoryUnderTest>(); }}};
#ifdef _WIN32
    kinds.push_back({"Win32", [] { return std::make_unique<Win32UnderTest>(); }});
#else
    kinds.push_back({"FileStore", [] { return std::make_unique<FileStoreUnderTest>(); }});
#endif
    return kinds;
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

} // namespace bdlogic::test
