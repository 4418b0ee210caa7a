// The .reg file store on its own: the regedit format in all its forms, golden round trips, malformed input,
// failing writes, locking and two processes writing one hive at once. POSIX only, like the store.
#ifndef _WIN32

#include "registry_backends.h"
#include "startup/reg_file_store.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>

namespace bdlogic::test {
namespace {

namespace fs = std::filesystem;
using reg::CreateResult;
using reg::Hive;

constexpr Hive LM = Hive::LocalMachine;
const std::string kHost = "SOFTWARE\\Corvane\\H";
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string DataPath(const std::string& name) {
    return std::string(BDLOGIC_TEST_DATA_DIR) + "/startup/data/registry/" + name;
}

// Compares with a checked-in file (gtest shows a line diff); BDLOGIC_UPDATE_GOLDEN=1 rewrites the file instead.
void ExpectGolden(const std::string& actual, const std::string& name) {
    if (std::getenv("BDLOGIC_UPDATE_GOLDEN")) WriteBytes(DataPath(name), actual);
    EXPECT_EQ(actual, ReadBytes(DataPath(name))) << "golden file " << name;
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

// UTF-16LE with BOM of a UTF-8 text, as regedit on Windows exports.
std::string ToUtf16le(const std::string& utf8) {
    const std::u16string u = QString::fromStdString(utf8).toStdU16String();
    std::string out = "\xFF\xFE";
    for (char16_t c : u) {
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

class RegFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp_.isValid()); }

    std::string dir() const { return tmp_.path().toStdString() + "/registry"; }
    std::string file() const { return store_.hiveFile(LM); }
    std::string contents() const { return ReadBytes(file()); }
    void Install(const std::string& bytes) {
        fs::create_directories(dir());
        WriteBytes(file(), bytes);
    }
    void InstallData(const std::string& name) { Install(ReadBytes(DataPath(name))); }

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
    RegFileStore store_{tmp_.path().toStdString() + "/registry"};
};

reg::Value Bytes(std::uint32_t type, std::initializer_list<int> bytes) {
    reg::Value v{type, {}};
    for (int b : bytes) v.data.push_back(static_cast<unsigned char>(b));
    return v;
}

std::vector<unsigned char> Counting(int n) {
    std::vector<unsigned char> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<unsigned char>(i));
    return v;
}

TEST_F(RegFileStoreTest, ReadsEveryFormOfValue) {
    InstallData("all_types.reg");
    const struct {
        std::string key, name;
        reg::Value value;
    } rows[] = {
        {kHost, "", Sz("Diary default")},
        {kHost, "ImportDir", Sz("C:\\Corvane\\Import\\")},
        {kHost, "Quoted", Sz("say \"hi\" to C:\\temp")},
        {kHost, "Umlauts", Sz("Grüße – Ω Ж")},
        {kHost, "Empty", Sz("")},
        {kHost, "Count", Dword(10)},
        {kHost, "Minus", Dword(0xFFFFFFFF)},
        {kHost, "Path", Sz("%ProgramFiles%\\Corvane", reg::kExpandSz)},
        {kHost, "Blob", Bytes(reg::kBinary, {0, 1, 2, 0xff})},
        {kHost, "NoBytes", Bytes(reg::kBinary, {})},
        {kHost, "Multi", Bytes(7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})},
        {kHost, "Quad", Bytes(11, {1, 0, 0, 0, 0, 0, 0, 0})},
        {kHost, "None", Bytes(reg::kNone, {})},
        {kHost, "RawSz", Bytes(reg::kSz, {'a', '\n', 'b', 0})},
        {kHost, "DwordAsHex", Bytes(reg::kDword, {5, 0, 0, 0})},
        {kHost, "Spaced", Bytes(reg::kBinary, {0x0a, 0x0b, 0x0c})},
        {kHost, "Plain", Sz("C:\\Temp")}, // a backslash before anything but \ or " stands for itself
        {kModel, "COM", Sz("3")},
        {kModel, "Desc", Sz("BD Logic")},
        {kModel, "Big", Raw(reg::kBinary, Counting(64))},
    };
    for (const auto& r : rows) ExpectValue(r.key, r.name, r.value);
    EXPECT_TRUE(store_.keyExists(LM, "SOFTWARE\\Corvane\\H\\modules")); // listed only through the key below it
    EXPECT_TRUE(store_.keyExists(LM, "SOFTWARE"));
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
    ExpectValue(kHost, "Path", Sz("%ProgramFiles%\\Corvane\\H", reg::kExpandSz));
    ExpectValue(kModel, "DoInit", Sz("0"));
    ExpectValue("SOFTWARE\\Corvane\\H\\modules", "Count", Dword(2));
}

TEST_F(RegFileStoreTest, AWriteThatChangesNothingLeavesTheFileAlone) {
    InstallData("all_types.reg");
    struct stat before {};
    ASSERT_EQ(::stat(file().c_str(), &before), 0);
    for (const auto& key : {kHost, kModel}) {
        for (const auto& name : store_.valueNames(LM, key)) {
            const auto v = store_.queryValue(LM, key, name);
            ASSERT_TRUE(v.has_value()) << name;
            EXPECT_TRUE(store_.setValue(LM, key, name, *v)) << name;
        }
    }
    EXPECT_EQ(store_.createKey(LM, kModel, ""), CreateResult::Existed);
    EXPECT_EQ(store_.createKey(LM, "SOFTWARE\\Corvane\\H\\modules", ""), CreateResult::Existed);
    struct stat after {};
    ASSERT_EQ(::stat(file().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(contents(), ReadBytes(DataPath("all_types.reg")));
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
        {kHost, "Multi", Bytes(7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})},
        {kHost, "Quad", Bytes(11, {1, 0, 0, 0, 0, 0, 0, 0})},
        {kHost, "None", Bytes(reg::kNone, {})},
        {kHost, "LineBreak", Sz("a\nb")},
        {kHost, "NoNul", Bytes(reg::kSz, {'a', 'b'})},
        {kHost, "ShortDword", Bytes(reg::kDword, {5, 0})},
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
    const std::string expected =
        Replace(ReadBytes(DataPath("regedit4.reg")), "\"Count\"=dword:00000003\n",
                "\"Count\"=dword:00000003\n\"New\"=hex(2):25,41,25,00\n");
    EXPECT_EQ(contents(), expected);
}

TEST_F(RegFileStoreTest, ReadsAndKeepsUtf16FilesWithCrLf) {
    std::string crlf;
    for (const auto& line : Lines(ReadBytes(DataPath("all_types.reg")))) crlf += line + "\r\n";
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

TEST_F(RegFileStoreTest, KeepsAByteOrderMarkAndCrLf) {
    Install("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\r\n"
            "\"ImportDir\"=\"x\"\r\n\r\n");
    ExpectValue(kHost, "ImportDir", Sz("x"));
    ASSERT_EQ(store_.createKey(LM, kModel, ""), CreateResult::Created);
    ASSERT_TRUE(store_.setValue(LM, kModel, "COM", Sz("3")));
    EXPECT_EQ(contents(), "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\r\n\"ImportDir\"=\"x\"\r\n\r\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H\\modules\\BD Logic]\r\n\"COM\"=\"3\"\r\n\r\n");
}

TEST_F(RegFileStoreTest, NamesIgnoreCaseAndKeepTheCaseTheyWereCreatedWith) {
    Install("Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\n\"ImportDir\"=\"x\"\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ärger\\Жук]\n\"Größe\"=\"1\"\n\n"
            "[HKLM\\SOFTWARE\\Short]\n\"A\"=\"1\"\n\n");
    ExpectValue("SOFTWARE\\ÄRGER\\жук", "GRÖßE", Sz("1"));
    ExpectValue("software\\short", "a", Sz("1"));
    ASSERT_TRUE(store_.setValue(LM, "software\\CORVANE\\h", "IMPORTDIR", Sz("y")));
    ASSERT_EQ(store_.createKey(LM, "SOFTWARE\\CORVANE\\H\\Modules\\X", ""), CreateResult::Created);
    EXPECT_EQ(contents(), "Windows Registry Editor Version 5.00\n\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\n\"ImportDir\"=\"y\"\n\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H\\Modules\\X]\n\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ärger\\Жук]\n\"Größe\"=\"1\"\n\n"
                          "[HKLM\\SOFTWARE\\Short]\n\"A\"=\"1\"\n\n");
}

TEST_F(RegFileStoreTest, TheLastOfRepeatedKeysAndValuesIsTheOneReadAndWritten) {
    Install("Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\n\"COM\"=\"1\"\n\"com\"=\"2\"\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\n\"Com\"=\"3\"\n\n");
    ExpectValue(kHost, "COM", Sz("3"));
    ASSERT_TRUE(store_.setValue(LM, kHost, "COM", Sz("4")));
    ASSERT_TRUE(store_.setValue(LM, kHost, "New", Sz("5")));
    EXPECT_EQ(contents(), "Windows Registry Editor Version 5.00\n\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\n\"COM\"=\"1\"\n\"com\"=\"2\"\n\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\n\"Com\"=\"4\"\n\"New\"=\"5\"\n\n");
}

TEST_F(RegFileStoreTest, KeepsMalformedLinesWhereTheyAreAndIgnoresThemOnReading) {
    InstallData("malformed.reg");
    ExpectValue(kHost, "ImportDir", Sz("/home/anna/import/"));
    ExpectValue(kHost, "AfterBroken", Sz("visible"));
    for (const char* name : {"Unterminated", "BadHex", "Deleted", "Wine", "BadDword", "BrokenCont", "", "Hidden"})
        EXPECT_FALSE(store_.queryValue(LM, kHost, name).has_value()) << name;
    EXPECT_FALSE(store_.keyExists(LM, "SOFTWARE\\Old"));
    EXPECT_FALSE(store_.keyExists(LM, ".reg"));
    EXPECT_FALSE(store_.queryValue(LM, kModel, "Tail").has_value());
    EXPECT_EQ(store_.valueNames(LM, kHost), (std::vector<std::string>{"ImportDir", "AfterBroken"}));

    ASSERT_TRUE(store_.setValue(LM, kHost, "ImportDir", Sz("/srv/import/")));
    ASSERT_TRUE(store_.setValue(LM, kHost, "New", Sz("x")));
    ASSERT_TRUE(store_.setValue(LM, kModel, "COM", Sz("4")));
    ASSERT_EQ(store_.createKey(LM, "SOFTWARE\\Corvane\\H\\modules\\Other", ""), CreateResult::Created);
    ExpectGolden(contents(), "malformed.expected.reg");
}

TEST_F(RegFileStoreTest, AFileWithoutHeaderIsReadAndGetsOneOnTheNextWrite) {
    Install("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\n\"ImportDir\"=\"x\"\n");
    ExpectValue(kHost, "ImportDir", Sz("x"));
    ASSERT_TRUE(store_.setValue(LM, kHost, "COM", Sz("3")));
    EXPECT_EQ(contents(), "Windows Registry Editor Version 5.00\n\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\n\"ImportDir\"=\"x\"\n\"COM\"=\"3\"\n");
}

// Random damage to real files: nothing crashes, and every line of the input is still in the file after a write.
TEST_F(RegFileStoreTest, NoInputCrashesOrLosesALine) {
    std::mt19937 rng(20240131);
    const std::vector<std::string> sources{ReadBytes(DataPath("all_types.reg")), ReadBytes(DataPath("malformed.reg")),
                                           ReadBytes(DataPath("regedit4.reg"))};
    using namespace std::string_literals;
    const std::string noise = "[]\"\\=@,:;-()hexdword \t\r\n\0\xff\xc3\xa4"s;
    for (int round = 0; round < 120; ++round) {
        std::string text = sources[rng() % sources.size()];
        const int edits = 1 + static_cast<int>(rng() % 12);
        for (int k = 0; k < edits && !text.empty(); ++k) {
            const size_t at = rng() % text.size();
            switch (rng() % 3) {
            case 0: text.erase(at, 1 + rng() % 4); break;
            case 1: text.insert(at, 1, noise[rng() % noise.size()]); break;
            default: text[at] = static_cast<char>(rng() % 256); break;
            }
        }
        if (text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xEF\xBB\xBF", 0) == 0) text.insert(0, "x");
        Install(text);
        store_.keyExists(LM, kHost);
        store_.valueNames(LM, kHost);
        store_.queryValue(LM, kModel, "Big");
        store_.createKey(LM, kHost, "");
        ASSERT_TRUE(store_.setValue(LM, kHost, "Fuzz", Sz(std::to_string(round)))) << round;
        ExpectValue(kHost, "Fuzz", Sz(std::to_string(round)));

        // Every input line, in order, among the output lines.
        const auto in = Lines(text);
        const auto out = Lines(contents());
        size_t j = 0;
        for (const auto& line : in) {
            while (j < out.size() && out[j] != line) ++j;
            ASSERT_LT(j, out.size()) << "round " << round << " lost the line: " << line;
            ++j;
        }
    }
}

TEST_F(RegFileStoreTest, AWriteIntoAReadOnlyDirectoryFailsQuietlyAndLeavesTheFile) {
    InstallData("all_types.reg");
    const std::string before = contents();
    // The temporary directory must be passable for the unprivileged child; the hive directory is read-only.
    fs::permissions(tmp_.path().toStdString(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    fs::permissions(file(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::others_read);
    fs::permissions(dir(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    auto check = [this] {
        RegFileStore store(dir());
        bool ok = !store.setValue(LM, kHost, "ImportDir", Sz("elsewhere"));
        ok = ok && store.createKey(LM, "SOFTWARE\\New", "") == CreateResult::Failed;
        ok = ok && store.setValue(LM, kHost, "Count", Dword(10)); // as it is: needs no write
        ok = ok && store.createKey(LM, kModel, "") == CreateResult::Existed;
        const auto v = store.queryValue(LM, kHost, "ImportDir");
        ok = ok && v && v->data == Sz("C:\\Corvane\\Import\\").data;
        return ok;
    };
    // Without a lock file (it cannot be created), then with one (the temporary file cannot be created).
    EXPECT_TRUE(RunUnprivileged(check));
    EXPECT_EQ(contents(), before);
    fs::permissions(dir(), fs::perms::owner_write, fs::perm_options::add);
    WriteBytes(file() + ".lock", "");
    fs::permissions(file() + ".lock", fs::perms::all);
    fs::permissions(dir(), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_TRUE(RunUnprivileged(check));
    EXPECT_EQ(contents(), before);
    EXPECT_TRUE(Strays().empty());
    fs::permissions(dir(), fs::perms::owner_all);
}

TEST_F(RegFileStoreTest, AHiveThatCannotBeReadIsNeverReplaced) {
    fs::create_directories(file()); // a directory where the hive file should be
    EXPECT_FALSE(store_.keyExists(LM, kHost));
    EXPECT_EQ(store_.createKey(LM, kHost, ""), CreateResult::Failed);
    EXPECT_TRUE(fs::is_directory(file()));
    EXPECT_TRUE(Strays().empty());
}

TEST_F(RegFileStoreTest, AMissingDirectoryIsAnEmptyHiveAndIsCreatedOnTheFirstWrite) {
    RegFileStore store(tmp_.path().toStdString() + "/a/b/registry");
    EXPECT_FALSE(store.keyExists(LM, kHost));
    EXPECT_FALSE(store.queryValue(LM, kHost, "ImportDir").has_value());
    EXPECT_FALSE(store.setValue(LM, kHost, "ImportDir", Sz("x")));
    EXPECT_FALSE(fs::exists(tmp_.path().toStdString() + "/a"));
    EXPECT_EQ(store.createKey(LM, kHost, "string"), CreateResult::Created);
    EXPECT_EQ(ReadBytes(store.hiveFile(LM)),
              "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\n\n");
    EXPECT_FALSE(fs::exists(store.hiveFile(Hive::CurrentUser)));
}

TEST_F(RegFileStoreTest, ReplacesTheFileAtomicallyKeepingItsPermissions) {
    InstallData("all_types.reg");
    fs::permissions(file(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    struct stat before {};
    ASSERT_EQ(::stat(file().c_str(), &before), 0);
    ASSERT_TRUE(store_.setValue(LM, kModel, "COM", Sz("4")));
    struct stat after {};
    ASSERT_EQ(::stat(file().c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino); // a new file renamed over the old one
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_TRUE(fs::exists(file() + ".lock"));
    EXPECT_TRUE(Strays().empty());
}

TEST_F(RegFileStoreTest, WritesThroughASymbolicLinkToItsTarget) {
    fs::create_directories(dir());
    const std::string target = tmp_.path().toStdString() + "/shared.reg";
    WriteBytes(target, ReadBytes(DataPath("regedit4.reg")));
    fs::create_symlink(target, file());
    ASSERT_TRUE(store_.setValue(LM, kHost, "Count", Dword(4)));
    EXPECT_TRUE(fs::is_symlink(file()));
    EXPECT_NE(ReadBytes(target).find("\"Count\"=dword:00000004"), std::string::npos);
}

TEST_F(RegFileStoreTest, AWriterWaitsForTheLock) {
    InstallData("all_types.reg");
    const std::string before = contents();
    const int lockFd = ::open((file() + ".lock").c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(lockFd, 0);
    ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);
    int done[2];
    ASSERT_EQ(::pipe(done), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(done[0]);
        ::close(lockFd); // the lock belongs to the open file, which fork shares: the child must not hold it
        RegFileStore store(dir());
        const char ok = store.setValue(LM, kModel, "COM", Sz("9")) ? '1' : '0';
        if (::write(done[1], &ok, 1) != 1) ::_exit(2);
        ::_exit(0);
    }
    ::close(done[1]);
    pollfd p{done[0], POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 300), 0) << "the writer did not wait for the lock";
    EXPECT_EQ(contents(), before);
    ::close(lockFd); // releases the lock
    char ok = 0;
    EXPECT_EQ(::read(done[0], &ok, 1), 1);
    EXPECT_EQ(ok, '1');
    ::close(done[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ExpectValue(kModel, "COM", Sz("9"));
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
    for (int i = 0; i < 200; ++i) {
        const size_t now = store_.valueNames(LM, kModel).size();
        EXPECT_GE(now, seen);
        seen = now;
        if (now == 2 * kPerWriter) break;
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

class EnvironmentGuard {
public:
    explicit EnvironmentGuard(std::vector<std::string> names) : names_(std::move(names)) {
        for (const auto& n : names_) {
            const char* v = std::getenv(n.c_str());
            saved_.push_back(v ? std::optional<std::string>(v) : std::nullopt);
        }
    }
    ~EnvironmentGuard() {
        for (size_t i = 0; i < names_.size(); ++i) {
            if (saved_[i])
                ::setenv(names_[i].c_str(), saved_[i]->c_str(), 1);
            else
                ::unsetenv(names_[i].c_str());
        }
    }

private:
    std::vector<std::string> names_;
    std::vector<std::optional<std::string>> saved_;
};

TEST(RegFileStoreDirectory, FollowsTheEnvironment) {
    EnvironmentGuard guard({"CORVANE_REGISTRY_DIR", "XDG_CONFIG_HOME", "HOME"});
    ::setenv("HOME", "/home/anna", 1);
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    ::setenv("CORVANE_REGISTRY_DIR", "/srv/corvane/reg", 1);
    EXPECT_EQ(RegFileStore::defaultDirectory(), "/srv/corvane/reg");
    ::setenv("CORVANE_REGISTRY_DIR", "", 1);
    EXPECT_EQ(RegFileStore::defaultDirectory(), "/cfg/Corvane/registry");
    ::unsetenv("CORVANE_REGISTRY_DIR");
    EXPECT_EQ(RegFileStore::defaultDirectory(), "/cfg/Corvane/registry");
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    EXPECT_EQ(RegFileStore::defaultDirectory(), "/home/anna/.config/Corvane/registry");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegFileStore::defaultDirectory(), "/home/anna/.config/Corvane/registry");
}

} // namespace
} // namespace bdlogic::test

#endif // _WIN32
