// The .reg file store on its own: the regedit format in its forms, golden round trips, malformed input, failing
// writes and two processes writing one hive at once. POSIX only, like the store.
#ifndef _WIN32

#include "registry_backends.h"
#include "startup/registry/reg_file_store.h"
#include "support/scoped_env.h"
#include "support/test_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

namespace bdlogic::test {
namespace {

namespace fs = std::filesystem;
using reg::CreateResult;
using reg::Hive;

constexpr Hive LM = Hive::LocalMachine;
const std::string kHost = "SOFTWARE\\Corvane\\H";
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

std::string Read(const std::string& path) { return ReadBytes(QString::fromStdString(path)).toStdString(); }
void Write(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(WriteBytes(QString::fromStdString(path), QByteArray::fromStdString(bytes)));
}
std::string DataPath(const std::string& name) {
    return std::string(BDLOGIC_TEST_DATA_DIR) + "/startup/registry/data/" + name;
}

// Compares with a checked-in file; BDLOGIC_UPDATE_GOLDEN=1 rewrites the file instead.
void ExpectGolden(const std::string& actual, const std::string& name) {
    if (std::getenv("BDLOGIC_UPDATE_GOLDEN")) Write(DataPath(name), actual);
    EXPECT_EQ(actual, Read(DataPath(name))) << "golden file " << name;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// UTF-16LE with BOM of a UTF-8 text, as regedit on Windows exports, and back.
std::string ToUtf16le(const std::string& utf8) {
    std::string out = "\xFF\xFE";
    for (char16_t c : QString::fromStdString(utf8).toStdU16String()) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}
std::string FromUtf16le(const std::string& bytes) {
    std::u16string u;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[i]);
        const auto hi = static_cast<unsigned char>(bytes[i + 1]);
        u += static_cast<char16_t>(lo | hi << 8);
    }
    return QString::fromStdU16String(u).toStdString();
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// Runs `check` as a user that file permissions apply to: in a child process that gives up root when the tests
// run as root (root writes into read-only directories), else right here.
bool RunUnprivileged(const std::function<bool()>& check) {
    if (::geteuid() != 0) return check();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<unsigned char> Counting(int n) {
    std::vector<unsigned char> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<unsigned char>(i));
    return v;
}

class RegFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp_.isValid()); }

    std::string dir() const { return tmp_.path().toStdString() + "/registry"; }
    std::string file() const { return store_.hiveFile(LM); }
    std::string contents() const { return Read(file()); }
    void Install(const std::string& bytes) { Write(file(), bytes); }
    void InstallData(const std::string& name) { Install(Read(DataPath(name))); }

    void ExpectValue(const std::string& path, const std::string& name, const reg::Value& want) {
        const auto got = store_.queryValue(LM, path, name);
        ASSERT_TRUE(got.has_value()) << path << " / " << name;
        EXPECT_EQ(got->type, want.type) << name;
        EXPECT_EQ(got->data, want.data) << name;
    }
    // Files in the hive directory other than the hives and their locks.
    std::vector<std::string> Strays() const {
        std::vector<std::string> strays;
        for (const auto& e : fs::directory_iterator(dir())) {
            const std::string n = e.path().filename().string();
            if (n.rfind("HKEY_LOCAL_MACHINE.reg", 0) != 0 && n.rfind("HKEY_CURRENT_USER.reg", 0) != 0)
                strays.push_back(n);
        }
        return strays;
    }

    QTemporaryDir tmp_;
    RegFileStore store_{dir()};
};

TEST_F(RegFileStoreTest, ReadsEveryFormOfValue) {
    InstallData("all_types.reg");
    const struct {
        std::string key, name;
        reg::Value value;
    } rows[] = {
        {kHost, "", Sz("Diary default")},
        {kHost, "Quoted", Sz("say \"hi\" to C:\\temp")},
        {kHost, "Minus", Dword(0xFFFFFFFF)},
        {kHost, "Path", Sz("%ProgramFiles%\\Corvane", reg::kExpandSz)},
        {kHost, "Multi", Raw(7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})},
        {kHost, "RawSz", Raw(reg::kSz, {'a', '\n', 'b', 0})},
        {kHost, "DwordAsHex", Raw(reg::kDword, {5, 0, 0, 0})},
        {kHost, "Spaced", Raw(reg::kBinary, {0x0a, 0x0b, 0x0c})},
        {kHost, "Plain", Sz("C:\\Temp")}, // a backslash before anything but \ or " stands for itself
        {kModel, "COM", Sz("3")},
        {kModel, "Big", Raw(reg::kBinary, Counting(64))}, // continued over several lines
    };
    for (const auto& r : rows) ExpectValue(r.key, r.name, r.value);
    EXPECT_TRUE(store_.keyExists(LM, "SOFTWARE\\Corvane\\H\\modules")); // listed only through the key below it
    EXPECT_FALSE(store_.keyExists(LM, "SOFTWARE\\Corvane\\H\\modules\\BD"));
    EXPECT_EQ(store_.valueNames(LM, kModel), (std::vector<std::string>{"COM", "Desc", "Big"}));
}

TEST_F(RegFileStoreTest, WritesBackEveryLineItDoesNotChange) {
    InstallData("all_types.reg");
    EXPECT_TRUE(store_.setValue(LM, "software\\corvane\\h", "IMPORTDIR", Sz("D:\\Import\\")));
    EXPECT_TRUE(store_.setValue(LM, kHost, "Path", Sz("%ProgramFiles%\\Corvane\\H", reg::kExpandSz)));
    EXPECT_TRUE(store_.setValue(LM, kHost, "Count", Dword(10))); // as it is: not rewritten
    EXPECT_TRUE(store_.setValue(LM, "software\\corvane\\h\\MODULES\\bd logic", "DoInit", Sz("0")));
    EXPECT_EQ(store_.createKey(LM, "SOFTWARE\\CORVANE\\H\\modules\\Paradigm Link", "string"), CreateResult::Created);
    EXPECT_TRUE(store_.setValue(LM, "SOFTWARE\\Corvane\\H\\modules", "Count", Dword(2)));
    EXPECT_EQ(store_.createKey(LM, "SOFTWARE\\Other\\Tool", ""), CreateResult::Created);
    ExpectGolden(contents(), "all_types.expected.reg");
    ExpectValue(kHost, "ImportDir", Sz("D:\\Import\\"));
    ExpectValue(kModel, "DoInit", Sz("0"));
}

TEST_F(RegFileStoreTest, WritesNewValuesAsRegeditExportsThem) {
    const struct {
        std::string key, name;
        reg::Value value;
    } rows[] = {
        {kHost, "ImportDir", Sz("C:\\Corvane\\Import\\")},
        {kHost, "LanguageDLL", Sz("Deutsch")},
        {kHost, "TestPorts", Sz("-1")},
        {kHost, "", Sz("default text")},
        {kHost, "@", Sz("a value named @")},
        {kHost, "Say \"hi\" \\ there", Sz("\"quoted\" and C:\\path\\")},
        {kHost, "Umlauts", Sz("Grüße – Ω Ж")},
        {kHost, "Count", Dword(10)},
        {kHost, "Minus", Dword(0xFFFFFFFF)},
        {kHost, "Path", Sz("%ProgramFiles%\\Corvane", reg::kExpandSz)},
        {kHost, "Blob", Raw(reg::kBinary, Counting(100))},
        {kHost, "NoBytes", Raw(reg::kBinary, {})},
        {kHost, "Multi", Raw(7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})},
        {kHost, "Quad", Raw(11, {1, 0, 0, 0, 0, 0, 0, 0})},
        {kHost, "None", Raw(reg::kNone, {})},
        {kHost, "LineBreak", Sz("a\nb")},
        {kHost, "NoNul", Raw(reg::kSz, {'a', 'b'})},
        {kHost, "ShortDword", Raw(reg::kDword, {5, 0})},
        {kModel, "COM", Sz("3")},
        {kModel, "Desc", Sz("BD Logic")},
        {"SOFTWARE\\Corvane\\H\\modules\\Paradigm Link", "COM", Sz("4")},
    };
    for (const auto& r : rows) {
        store_.createKey(LM, r.key, "string");
        EXPECT_TRUE(store_.setValue(LM, r.key, r.name, r.value)) << r.name;
    }
    ExpectGolden(contents(), "written.reg");
    for (const auto& r : rows) ExpectValue(r.key, r.name, r.value);
    for (const auto& line : Lines(contents())) EXPECT_LE(line.size(), 80u) << line;
}

TEST_F(RegFileStoreTest, ReadsAndKeepsRegedit4Files) {
    InstallData("regedit4.reg");
    ExpectValue(kHost, "ImportDir", Sz("C:\\Import\\"));
    ExpectValue(kHost, "Path", Sz("%TEMP%\\x", reg::kExpandSz)); // 8-bit text, not UTF-16
    ExpectValue(kHost, "Latin", Sz("ü", reg::kExpandSz));     // not UTF-8: read as Latin-1
    ExpectValue(kHost, "Count", Dword(3));
    ASSERT_TRUE(store_.setValue(LM, kHost, "New", Sz("%A%", reg::kExpandSz)));
    EXPECT_EQ(contents(), Replace(Read(DataPath("regedit4.reg")), "\"Count\"=dword:00000003\n",
                                  "\"Count\"=dword:00000003\n\"New\"=hex(2):25,41,25,00\n"));
}

TEST_F(RegFileStoreTest, ReadsAndKeepsUtf16FilesWithCrLf) {
    std::string crlf;
    for (const auto& line : Lines(Read(DataPath("all_types.reg")))) crlf += line + "\r\n";
    Install(ToUtf16le(crlf));
    ExpectValue(kHost, "Umlauts", Sz("Grüße – Ω Ж"));
    ExpectValue(kHost, "Path", Sz("%ProgramFiles%\\Corvane", reg::kExpandSz));
    ExpectValue(kModel, "Big", Raw(reg::kBinary, Counting(64)));
    ASSERT_TRUE(store_.setValue(LM, kModel, "COM", Sz("4")));
    const std::string bytes = contents();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(FromUtf16le(bytes), Replace(crlf, "\"COM\"=\"3\"", "\"COM\"=\"4\""));
}

TEST_F(RegFileStoreTest, EveryLineKeepsItsOwnLineEnd) {
    const std::string key = "[HKEY_LOCAL_MACHINE\\" + kHost + "]";
    const std::string lf = "Windows Registry Editor Version 5.00\n\n" + key + "\n";
    const std::string crlf = "Windows Registry Editor Version 5.00\r\n\r\n" + key + "\r\n";
    const struct {
        std::string before, after; // after adding "New"="x"
    } rows[] = {
        {lf + "\"A\"=\"1\"\r\r\n\n", lf + "\"A\"=\"1\"\r\r\n\"New\"=\"x\"\n\n"},
        {crlf + "\"A\"=\"1\"\n\r\n", crlf + "\"A\"=\"1\"\n\"New\"=\"x\"\r\n\r\n"},
        {lf + "\"A\"=\"1\"", lf + "\"A\"=\"1\"\n\"New\"=\"x\"\n"},
    };
    for (const auto& r : rows) {
        Install(r.before);
        ASSERT_TRUE(store_.setValue(LM, kHost, "New", Sz("x")));
        EXPECT_EQ(contents(), r.after);
        ExpectValue(kHost, "A", Sz("1"));
    }
}

TEST_F(RegFileStoreTest, KeepsMalformedLinesWhereTheyAreAndIgnoresThemOnReading) {
    InstallData("malformed.reg");
    ExpectValue(kHost, "ImportDir", Sz("/home/anna/import/"));
    ExpectValue(kHost, "AfterBroken", Sz("visible"));
    for (const char* name : {"Unterminated", "BadHex", "Deleted", "Wine", "BadDword", "BrokenCont", "", "Hidden"})
        EXPECT_FALSE(store_.queryValue(LM, kHost, name).has_value()) << name;
    EXPECT_FALSE(store_.keyExists(LM, "SOFTWARE\\Old"));
    EXPECT_FALSE(store_.queryValue(LM, kModel, "Tail").has_value());
    EXPECT_EQ(store_.valueNames(LM, kHost), (std::vector<std::string>{"ImportDir", "AfterBroken"}));

    ASSERT_TRUE(store_.setValue(LM, kHost, "ImportDir", Sz("/srv/import/")));
    ASSERT_TRUE(store_.setValue(LM, kHost, "New", Sz("x")));
    ASSERT_TRUE(store_.setValue(LM, kModel, "COM", Sz("4")));
    ASSERT_EQ(store_.createKey(LM, "SOFTWARE\\Corvane\\H\\modules\\Other", ""), CreateResult::Created);
    ExpectGolden(contents(), "malformed.expected.reg");
}

TEST_F(RegFileStoreTest, AHiveThatCannotBeReadOrWrittenIsLeftAsItIsAndNamedOnce) {
    using fs::perms;
    const auto readOnly = [](const std::string& path) {
        fs::permissions(path, perms::owner_write | perms::group_write | perms::others_write, fs::perm_options::remove);
    };
    const std::string hive = Read(DataPath("all_types.reg"));
    const std::string le = ToUtf16le(hive).substr(2);
    std::string be = "\xFE\xFF";
    for (size_t i = 0; i + 1 < le.size(); i += 2) be += std::string{le[i + 1], le[i]};
    const std::string empty = "; read as empty, left as it is";
    const std::string notHive = "not a registry file in a form this program reads (UTF-8, or UTF-16LE with byte order "
                                "mark, starting with \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\")" + empty;
    const std::string busy = "its lock was not granted within 30 ms; ";
    const auto writable = [&] { Install(hive), fs::permissions(file(), perms::all); };
    int held = -1; // a lock that another program holds
    const struct {
        const char* name;
        std::function<void()> setUp;
        bool readable;
        std::vector<std::string> told;
    } rows[] = {
        {"UTF-16BE", [&] { Install(be); }, false, {notHive}},
        {"UTF-16LE without BOM", [&] { Install(le); }, false, {notHive}},
        {"binary", [&] { Install(std::string("\x7F" "ELF\x02\x01\x01\0\0\n[", 11)); }, false, {notHive}},
        {"no header", [&] { Install(hive.substr(hive.find('['))); }, false, {notHive}},
        {"a directory", [&] { fs::create_directories(file()); }, false, {"is a directory" + empty}},
        {"a FIFO", [&] { ::mkfifo(file().c_str(), 0666); }, false, {"is not a regular file" + empty}},
        {"unreadable", [&] { Install(hive), fs::permissions(file(), perms::none); }, false,
         {"cannot be read (Permission denied)" + empty}},
        {"read-only", [&] { writable(), readOnly(file()); }, true, {"is read-only; not changed"}},
        {"read-only directory", [&] { writable(), readOnly(dir()); }, true,
         {"cannot be written (lock file: Permission denied); not changed"}},
        {"read-only directory with a lock file", [&] { writable(), Write(file() + ".lock", ""), readOnly(dir()); },
         true, {"cannot be written (Permission denied); not changed"}},
        {"lock held by another program",
         [&] {
             writable();
             held = ::open((file() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
             ::flock(held, LOCK_EX);
         },
         true, {busy + "read without it", busy + "not changed"}},
    };
    fs::permissions(tmp_.path().toStdString(), perms::all); // passable for the unprivileged child
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        fs::remove_all(dir());
        fs::create_directories(dir());
        fs::permissions(dir(), perms::all);
        r.setUp();
        const std::string before = fs::is_regular_file(file()) ? contents() : "";
        const auto check = [&]() -> bool {
            std::vector<std::string> told;
            RegFileStore store(dir(), {std::chrono::milliseconds(30), [&](const std::string& l) { told.push_back(l); }});
            EXPECT_FALSE(store.setValue(LM, kHost, "ImportDir", Sz("elsewhere")));
            EXPECT_EQ(store.createKey(LM, "SOFTWARE\\New", ""), CreateResult::Failed); // the same line again
            EXPECT_EQ(store.setValue(LM, kHost, "Count", Dword(10)), r.readable);     // as it is: needs no write
            EXPECT_EQ(store.queryValue(LM, kHost, "ImportDir").has_value(), r.readable);
            std::vector<std::string> want;
            for (const auto& reason : r.told) want.push_back(file() + ": " + reason);
            EXPECT_EQ(told, want);
            return !HasFailure();
        };
        EXPECT_TRUE(RunUnprivileged(check));
        EXPECT_TRUE(before.empty() || contents() == before);
        EXPECT_TRUE(Strays().empty());
        fs::permissions(dir(), perms::all);
        if (held >= 0) ::close(held);
        held = -1;
    }
}

TEST_F(RegFileStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kPerWriter = 200;
    ASSERT_EQ(store_.createKey(LM, kModel, ""), CreateResult::Created);
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> writers;
    for (int w = 0; w < 2; ++w) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(start[1]);
            char c;
            (void)::read(start[0], &c, 1); // returns when the parent closes its end: both start together
            RegFileStore store(dir());
            int failures = 0;
            for (int i = 0; i < kPerWriter; ++i) {
                const std::string n = "w" + std::to_string(w) + "-" + std::to_string(i);
                if (!store.setValue(LM, kModel, n, Sz("value of " + n))) ++failures;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
        writers.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);
    // Meanwhile a reader never sees a value vanish.
    size_t seen = 0;
    for (int i = 0; i < 200 && seen < 2 * kPerWriter; ++i) {
        const size_t now = store_.valueNames(LM, kModel).size();
        EXPECT_GE(now, seen);
        seen = now;
    }
    for (pid_t pid : writers) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(store_.valueNames(LM, kModel).size(), static_cast<size_t>(2 * kPerWriter));
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < kPerWriter; ++i) {
            const std::string n = "w" + std::to_string(w) + "-" + std::to_string(i);
            ExpectValue(kModel, n, Sz("value of " + n));
        }
}

TEST(RegFileStoreDirectory, FollowsTheEnvironment) {
    const ScopedEnv home("HOME", "/home/anna");
    const ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
    const ScopedEnv dir("CORVANE_REGISTRY_DIR", "/srv/corvane/reg");
    EXPECT_EQ(RegFileStore::defaultDirectory(), "/srv/corvane/reg");
    qputenv("CORVANE_REGISTRY_DIR", "");
    EXPECT_EQ(RegFileStore::defaultDirectory(), "/cfg/Corvane/registry");
    qputenv("XDG_CONFIG_HOME", "relative/cfg");
    EXPECT_EQ(RegFileStore::defaultDirectory(), "/home/anna/.config/Corvane/registry");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegFileStore::defaultDirectory(), "/home/anna/.config/Corvane/registry");
}

} // namespace
} // namespace bdlogic::test

#endif // _WIN32
