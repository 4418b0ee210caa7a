// The Win32 registry behind reg::Backend: open, query, create, set, each key handle closed before returning.
//
// Access masks: 0x19 to read, 0x3F to write, with no KEY_WOW64_* flag: a 64-bit build sees the 64-bit view of
// HKEY_LOCAL_MACHINE\SOFTWARE, a 32-bit build the 32-bit view (Wow6432Node). Build the driver with the same
// bitness as the host so that both see one branch.
#ifdef _WIN32

#include "registry_win32.h"

#include "platform_registry.h"

#include <climits>
#include <cstring>
#include <memory>

namespace bdlogic {

namespace {

constexpr REGSAM kReadAccess = 0x19;  // KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY
constexpr REGSAM kWriteAccess = 0x3F; // the above | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK
constexpr DWORD kMaxValueNameChars = 16384; // 16,383 characters and the terminating NUL

// UTF-8 to UTF-16, all bytes (embedded NULs included); ill-formed bytes become U+FFFD.
std::wstring Wide(const char* s, size_t len) {
    if (len == 0 || len > static_cast<size_t>(INT_MAX)) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, s, static_cast<int>(len), nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s, static_cast<int>(len), w.data(), n);
    return w;
}

std::wstring Wide(const std::string& s) { return Wide(s.data(), s.size()); }

// UTF-16 to UTF-8, all units (embedded NULs included); a lone surrogate becomes U+FFFD.
std::string Narrow(const wchar_t* w, size_t len) {
    if (len == 0 || len > static_cast<size_t>(INT_MAX)) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string s(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), s.data(), n, nullptr, nullptr);
    return s;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// An open key, closed when it goes out of scope.
class Key {
public:
    Key() = default;
    ~Key() {
        if (h_) ::RegCloseKey(h_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool open(HKEY root, const std::string& path, REGSAM access) {
        return ::RegOpenKeyExW(root, Wide(path).c_str(), 0, access, &h_) == ERROR_SUCCESS;
    }
    HKEY* out() { return &h_; }
    HKEY get() const { return h_; }

private:
    HKEY h_ = nullptr;
};

} // namespace

Win32Registry::Win32Registry() : machine_(HKEY_LOCAL_MACHINE), user_(HKEY_CURRENT_USER) {}

Win32Registry::Win32Registry(HKEY machineRoot, HKEY userRoot) : machine_(machineRoot), user_(userRoot) {}

bool Win32Registry::keyExists(reg::Hive hive, const std::string& path) {
    Key key;
    return key.open(root(hive), path, kReadAccess);
}

std::optional<reg::Value> Win32Registry::queryValue(reg::Hive hive, const std::string& path,
                                                    const std::string& name) {
    Key key;
    if (!key.open(root(hive), path, kReadAccess)) return std::nullopt;
    const std::wstring wname = Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    // The value may grow between asking for its size and reading it: ask again a few times.
    std::vector<BYTE> buf;
    LONG rc = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
        buf.resize(size);
        DWORD got = size;
        BYTE dummy = 0;
        rc = ::RegQueryValueExW(key.get(), wname.c_str(), nullptr, &type, buf.empty() ? &dummy : buf.data(), &got);
        if (rc == ERROR_SUCCESS) buf.resize(got);
        size = got;
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;

    reg::Value v;
    v.type = type;
    if (IsText(type)) {
        // The stored UTF-16 units, its NUL (when stored) included, become UTF-8; an odd last byte is dropped.
        std::wstring w(buf.size() / sizeof(wchar_t), L'\0');
        if (!w.empty()) std::memcpy(w.data(), buf.data(), w.size() * sizeof(wchar_t));
        const std::string text = Narrow(w.data(), w.size());
        v.data.assign(text.begin(), text.end());
    } else {
        v.data.assign(buf.begin(), buf.end());
    }
    return v;
}

reg::CreateResult Win32Registry::createKey(reg::Hive hive, const std::string& path, const std::string& keyClass) {
    Key key;
    std::wstring cls = Wide(keyClass);
    DWORD disposition = 0;
    const LONG rc = ::RegCreateKeyExW(root(hive), Wide(path).c_str(), 0, cls.empty() ? nullptr : cls.data(),
                                      REG_OPTION_NON_VOLATILE, kWriteAccess, nullptr, key.out(), &disposition);
    if (rc != ERROR_SUCCESS) return reg::CreateResult::Failed;
    ::RegFlushKey(key.get());
    return disposition == REG_CREATED_NEW_KEY ? reg::CreateResult::Created : reg::CreateResult::Existed;
}

bool Win32Registry::setValue(reg::Hive hive, const std::string& path, const std::string& name,
                             const reg::Value& value) {
    Key key;
    if (!key.open(root(hive), path, kWriteAccess)) return false;
    std::vector<BYTE> bytes;
    DWORD size = 0;
    if (IsText(value.type)) {
        // UTF-8 with its NUL becomes UTF-16 with its NUL: the size then counts the terminator, as required.
        // For text that does not end in NUL, the registry looks at the character after the given size and, when
        // that is a NUL, stores it too; one non-NUL guard character after the data keeps that read inside the
        // buffer and the data exactly as given.
        const std::wstring w = Wide(reinterpret_cast<const char*>(value.data.data()), value.data.size());
        if (w.size() >= MAXDWORD / sizeof(wchar_t)) return false;
        size = static_cast<DWORD>(w.size() * sizeof(wchar_t));
        bytes.assign(size + sizeof(wchar_t), 0xFF);
        if (size) std::memcpy(bytes.data(), w.data(), size);
    } else {
        if (value.data.size() > MAXDWORD) return false;
        bytes.assign(value.data.begin(), value.data.end());
        size = static_cast<DWORD>(bytes.size());
    }
    const BYTE dummy = 0;
    return ::RegSetValueExW(key.get(), Wide(name).c_str(), 0, value.type, bytes.empty() ? &dummy : bytes.data(),
                            size) == ERROR_SUCCESS;
}

std::vector<std::string> Win32Registry::valueNames(reg::Hive hive, const std::string& path) {
    std::vector<std::string> names;
    Key key;
    if (!key.open(root(hive), path, kReadAccess)) return names;
    std::vector<wchar_t> buf(kMaxValueNameChars);
    for (DWORD index = 0;; ++index) {
        DWORD len = kMaxValueNameChars;
        const LONG rc = ::RegEnumValueW(key.get(), index, buf.data(), &len, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) break; // ERROR_NO_MORE_ITEMS at the end
        names.push_back(Narrow(buf.data(), len));
    }
    return names;
}

std::unique_ptr<reg::Backend> CreatePlatformRegistry() { return std::make_unique<Win32Registry>(); }

} // namespace bdlogic

#endif // _WIN32
