// The .reg file store on its own: the regedit format in its forms, golden edits, hives that cannot be read or
// written, and two processes writing one hive at once. POSIX only, like the store.
#ifndef _WIN32

#include "registry_backends.h"
#include "startup/registry/reg_file_store.h"
#include "support/scoped_env.h"
#include "support/test_files.h"
#include "support/unprivileged.h"

#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <utility>

namespace bdlogic::test {
namespace {

namespace fs = std::filesystem;
using reg::CreateResult;
using reg::Hive;

constexpr Hive LM = Hive::LocalMachine;
const std::string kHost = "SOFTWARE\\Corvane\\H";
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

QString DataPath(const std::string& name) {
    return QStringLiteral(BDLOGIC_TEST_DATA_DIR "/startup/registry/data/") + QString::fromStdString(name);
}
std::string Data(const std::string& name) { return ReadBytes(DataPath(name)).toStdString(); }

// A hive as regedit on Windows exports it: CR LF, UTF-16 with byte order mark (little-endian unless told).
std::string AsWindowsExport(const std::string& text, QStringEncoder::Encoding to = QStringEncoder::Utf16LE) {
    QStringEncoder encoder(to, QStringEncoder::Flag::WriteBom);
    return QByteArray(encoder(QString::fromStdString(text).replace(u'\n', QStringLiteral("\r\n")))).toStdString();
}

class RegFileStoreTest : public ::testing::Test {
protected:
    std::string dir() const { return tmp_.path().toStdString() + "/registry"; }
    std::string file() const { return store_.hiveFile(LM); }
    std::string contents() const { return ReadBytes(QString::fromStdString(file())).toStdString(); }
    void Install(const std::string& bytes) {
        ASSERT_TRUE(WriteBytes(QString::fromStdString(file()), QByteArray::fromStdString(bytes)));
    }
    std::string Query(const std::string& key, const std::string& name) {
        return Describe(store_.queryValue(LM, key, name));
    }

    QTemporaryDir tmp_;
    RegFileStore store_{dir()};
};

TEST_F(RegFileStoreTest, ReadsEveryFormOfValueAndIgnoresMalformedLines) {
    const struct {
        const char* file;
        std::string key, name;
        std::optional<reg::Value> value;
    } rows[] = {
        {"all_types.reg", kHost, "", Sz("Diary default")},
        {"all_types.reg", kHost, "Quoted", Sz("say \"hi\" to C:\\temp")},
        {"all_types.reg", kHost, "Umlauts", Sz("Grüße – Ω Ж")},
        {"all_types.reg", kHost, "Minus", Dword(0xFFFFFFFF)},
        {"all_types.reg", kHost, "Path", Sz("%ProgramFiles%\\Corvane", reg::kExpandSz)}, // continued on a line
        {"all_types.reg", kHost, "Multi", Raw(7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})},
        {"all_types.reg", kHost, "RawSz", Raw(reg::kSz, {'a', '\n', 'b', 0})},
        {"all_types.reg", kHost, "DwordAsHex", Raw(reg::kDword, {5, 0, 0, 0})},
        {"all_types.reg", kHost, "Spaced", Raw(reg::kBinary, {0x0a, 0x0b, 0x0c})},
        {"all_types.reg", kHost, "Plain", Sz("C:\\Temp")}, // a backslash before anything but \ or " is itself
        {"regedit4.reg", kHost, "Path", Sz("%TEMP%\\x", reg::kExpandSz)},  // 8-bit text, not UTF-16
        {"regedit4.reg", kHost, "Latin", Sz("ü", reg::kExpandSz)},         // not UTF-8: read as Latin-1
        {"regedit4.reg", kHost, "Count", Dword(3)},
        {"malformed.reg", kHost, "ImportDir", Sz("/home/anna/import/")},
        {"malformed.reg", kHost, "AfterBroken", Sz("visible")},
        {"malformed.reg", kModel, "Tail", {}},
    };
    for (const bool windows : {false, true})
        for (const auto& r : rows) {
            Install(windows ? AsWindowsExport(Data(r.file)) : Data(r.file));
            EXPECT_EQ(Query(r.key, r.name), Describe(r.value))
                << r.file << (windows ? " from Windows: " : ": ") << r.name;
        }
    EXPECT_EQ(store_.valueNames(LM, kHost), (std::vector<std::string>{"ImportDir", "AfterBroken"})); // malformed.reg
    EXPECT_TRUE(store_.keyExists(LM, "SOFTWARE\\Corvane\\H\\modules"));
    EXPECT_FALSE(store_.keyExists(LM, "SOFTWARE\\Old"));
}

// Every line an edit does not change keeps its bytes and its line end, and so do the encoding, the header and the
// dialect; new lines end as the first line does. What it writes is in regedit's form (names and texts escaped, hex
// wrapped within 80 columns) and reads back as set.
TEST_F(RegFileStoreTest, AnEditRewritesOnlyItsOwnLines) {
    const struct {
        const char* in; // none: no file yet
        const char* golden;
        bool windows = false;
    } rows[] = {{nullptr, "written.reg"},
                {"all_types.reg", "all_types.expected.reg"},
                {"all_types.reg", "all_types.expected.reg", true},
                {"regedit4.reg", "regedit4.expected.reg"},
                {"malformed.reg", "malformed.expected.reg"},
                {"line_ends_lf.reg", "line_ends_lf.expected.reg"}, // a line ending CR CR LF; none at the end
                {"line_ends_crlf.reg", "line_ends_crlf.expected.reg"},
                {"blank_lines.reg", "blank_lines.expected.reg"}}; // the header goes before them
    auto values = ContractValues();
    values.push_back({"Say \"hi\" \\ there", Sz("x")});
    values.push_back({"ShortDword", Raw(reg::kDword, {5, 0})});
    for (const auto& r : rows) {
        SCOPED_TRACE(r.windows ? "from Windows" : r.golden);
        fs::remove_all(dir());
        if (r.in) Install(r.windows ? AsWindowsExport(Data(r.in)) : Data(r.in));
        store_.createKey(LM, kModel, "");
        EXPECT_TRUE(store_.setValue(LM, "software\\corvane\\h", "IMPORTDIR", Sz("D:\\Import\\")));
        EXPECT_TRUE(store_.setValue(LM, kHost, "Path", Sz("%ProgramFiles%\\Corvane\\H", reg::kExpandSz)));
        EXPECT_TRUE(store_.setValue(LM, kHost, "Count", Dword(10))); // as all_types.reg has it: not rewritten
        EXPECT_TRUE(store_.setValue(LM, "software\\corvane\\h\\MODULES\\bd logic", "COM", Sz("4")));
        EXPECT_TRUE(store_.setValue(LM, kModel, "DoInit", Sz("0")));
        store_.createKey(LM, "SOFTWARE\\CORVANE\\H\\modules\\Paradigm Link", "");
        EXPECT_TRUE(store_.setValue(LM, "SOFTWARE\\Corvane\\H\\modules", "Count", Dword(2)));
        store_.createKey(LM, "SOFTWARE\\Other\\Tool", "");
        const std::string tool = "SOFTWARE\\Other\\Tool";
        store_.update(LM, [&](reg::Backend& b) { // in one write; each is read back below
            return std::ranges::all_of(values, [&](auto& v) { return b.setValue(LM, tool, v.name, v.value); });
        });
        if (!r.windows && qEnvironmentVariableIsSet("BDLOGIC_UPDATE_GOLDEN")) // rewrites the golden files instead
            WriteBytes(DataPath(r.golden), QByteArray::fromStdString(contents()));
        EXPECT_EQ(contents(), r.windows ? AsWindowsExport(Data(r.golden)) : Data(r.golden));
        EXPECT_EQ(Query(kHost, "ImportDir"), Describe(Sz("D:\\Import\\")));
        for (const auto& [name, value] : values) EXPECT_EQ(Query(tool, name), Describe(value)) << name;
        for (auto line : QString::fromUtf8(Data(r.golden)).split(u'\n'))
            EXPECT_LE(line.remove(u'\r').size(), 80) << line.toStdString();
    }
}

TEST_F(RegFileStoreTest, AHiveThatCannotBeReadOrWrittenIsLeftAsItIsAndNamedOnce) {
    using fs::perms;
    const auto readOnly = [](const std::string& path) {
        fs::permissions(path, perms::owner_write | perms::group_write | perms::others_write, fs::perm_options::remove);
    };
    const std::string hive = Data("all_types.reg");
    const std::string empty = "; read as empty, left as it is";
    const std::string notHive = "not a registry file in a form this program reads (UTF-8, or UTF-16LE with byte order "
                                "mark, starting with \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\")" + empty;
    const std::string busy = "its lock was not granted within 30 ms; ";
    const auto writable = [&] { Install(hive), fs::permissions(file(), perms::all); };
    int held = -1; // a lock file that another program holds open
    const auto lockFile = [&] { return held = ::open((file() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666); };
    const struct {
        const char* name;
        std::function<void()> setUp;
        bool readable;
        std::vector<std::string> told;
    } rows[] = {
        {"UTF-16BE", [&] { Install(AsWindowsExport(hive, QStringEncoder::Utf16BE)); }, false, {notHive}},
        {"UTF-16LE without BOM", [&] { Install(AsWindowsExport(hive).substr(2)); }, false, {notHive}},
        {"binary", [&] { Install(std::string("\x7F" "ELF\x02\x01\x01\0\0\n[", 11)); }, false, {notHive}},
        {"no header", [&] { Install(hive.substr(hive.find('['))); }, false, {notHive}},
        {"a directory", [&] { fs::create_directories(file()); }, false, {"is a directory" + empty}},
        {"a FIFO", [&] { ::mkfifo(file().c_str(), 0666); }, false, {"is not a regular file" + empty}},
        {"unreadable", [&] { Install(hive), fs::permissions(file(), perms::none); }, false,
         {"cannot be read (Permission denied)" + empty}},
        {"read-only", [&] { writable(), readOnly(file()); }, true, {"is read-only; not changed"}},
        {"read-only directory", [&] { writable(), readOnly(dir()); }, true,
         {"cannot be written (lock file: Permission denied); not changed"}},
        {"read-only directory with a lock file", [&] { writable(), lockFile(), readOnly(dir()); }, true,
         {"cannot be written (Permission denied); not changed"}},
        {"lock held by another program", [&] { writable(), ::flock(lockFile(), LOCK_EX); }, true,
         {busy + "read without it", busy + "not changed"}},
    };
    fs::permissions(tmp_.path().toStdString(), perms::all); // passable for the unprivileged child
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        fs::remove_all(dir());
        fs::create_directories(dir());
        fs::permissions(dir(), perms::all);
        r.setUp();
        const std::string before = fs::is_regular_file(file()) ? contents() : "";
        const auto check = [&] {
            std::vector<std::string> told;
            RegFileStore store(dir(), {std::chrono::milliseconds(30), [&](auto& line) { told.push_back(line); }});
            EXPECT_FALSE(store.setValue(LM, kHost, "ImportDir", Sz("elsewhere")));
            EXPECT_EQ(store.createKey(LM, "SOFTWARE\\New", ""), CreateResult::Failed); // the same line again
            EXPECT_EQ(store.setValue(LM, kHost, "Count", Dword(10)), r.readable);      // as it is: needs no write
            EXPECT_EQ(store.queryValue(LM, kHost, "ImportDir").has_value(), r.readable);
            std::vector<std::string> want;
            for (const auto& reason : r.told) want.push_back(file() + ": " + reason);
            EXPECT_EQ(told, want);
            return !HasFailure();
        };
        EXPECT_TRUE(RunUnprivileged(check));
        EXPECT_TRUE(before.empty() || contents() == before);
        for (const auto& e : fs::directory_iterator(dir())) // nothing beside the hive and its lock
            EXPECT_EQ(e.path().filename().string().rfind("HKEY_LOCAL_MACHINE.reg", 0), 0u) << e.path();
        fs::permissions(dir(), perms::all);
        ::close(std::exchange(held, -1));
    }
}

TEST_F(RegFileStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kPerWriter = 200;
    const auto name = [](int w, int i) { return "w" + std::to_string(w) + "-" + std::to_string(i); };
    ASSERT_EQ(store_.createKey(LM, kModel, ""), CreateResult::Created);
    std::vector<pid_t> writers;
    for (int w = 0; w < 2; ++w) {
        if ((writers.emplace_back(::fork())) != 0) continue;
        RegFileStore store(dir());
        bool ok = true;
        for (int i = 0; i < kPerWriter; ++i) ok = store.setValue(LM, kModel, name(w, i), Sz(name(w, i))) && ok;
        ::_exit(ok ? 0 : 1);
    }
    // Meanwhile a reader never sees a value vanish.
    for (size_t i = 0, seen = 0, now = 0; i < 200 && seen < 2 * kPerWriter; ++i, seen = now)
        EXPECT_GE(now = store_.valueNames(LM, kModel).size(), seen);
    for (int status = 0; pid_t pid : writers) EXPECT_TRUE(::waitpid(pid, &status, 0) == pid && status == 0);
    EXPECT_EQ(store_.valueNames(LM, kModel).size(), static_cast<size_t>(2 * kPerWriter));
}

TEST(RegFileStoreDirectory, FollowsTheEnvironment) {
    const ScopedEnv home("HOME", "/home/anna"), config("XDG_CONFIG_HOME", "/cfg"),
        dir("CORVANE_REGISTRY_DIR", "/srv/corvane/reg");
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
