// The registry over each backend (the in-memory fake, the .reg file store, on Windows the real registry): what
// every backend must keep, and the four operations the program reads and writes its settings with.
#include "registry_backends.h"
#include "startup/registry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace bdlogic::test {
namespace {

using reg::CreateResult;
using reg::Hive;

constexpr Hive LM = Hive::LocalMachine;
constexpr Hive CU = Hive::CurrentUser;
const std::string kModelKey = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";
const QString kKey = QString::fromStdString(kModelKey);

class RegistryTest : public ::testing::TestWithParam<BackendKind> {
protected:
    void SetUp() override { ASSERT_TRUE(under_); }
    reg::Backend& b() { return under_->backend(); }

    void ExpectValue(Hive hive, const std::string& path, const std::string& name, const reg::Value& want) {
        const auto got = b().queryValue(hive, path, name);
        ASSERT_TRUE(got.has_value()) << path << " / " << name;
        EXPECT_EQ(got->type, want.type) << name;
        EXPECT_EQ(got->data, want.data) << name;
    }
    // Puts a value straight into the backend, creating the key.
    void Put(Hive hive, const std::string& name, const reg::Value& v) {
        b().createKey(hive, kModelKey, "");
        ASSERT_TRUE(b().setValue(hive, kModelKey, name, v));
    }

    std::unique_ptr<BackendUnderTest> under_ = GetParam().make();
    Registry r{under_->backend()};
};

TEST_P(RegistryTest, KeysAreCreatedOnceWithTheirParentsAndMatchWholeComponentsWhateverTheCase) {
    EXPECT_FALSE(b().setValue(LM, kModelKey, "COM", Sz("3"))); // a missing key takes no values
    EXPECT_FALSE(b().keyExists(LM, kModelKey));
    EXPECT_EQ(b().createKey(LM, kModelKey, "string"), CreateResult::Created);
    EXPECT_EQ(b().createKey(LM, "software\\CORVANE\\h\\Modules\\bd logic", ""), CreateResult::Existed);
    EXPECT_EQ(b().createKey(LM, "SOFTWARE\\Corvane\\H", ""), CreateResult::Existed);
    EXPECT_TRUE(b().keyExists(LM, "SOFTWARE"));
    EXPECT_FALSE(b().keyExists(LM, "SOFTWARE\\Corvane\\H\\modules\\BD"));
    EXPECT_FALSE(b().keyExists(CU, kModelKey)); // the hives are separate
    ASSERT_EQ(b().createKey(LM, "SOFTWARE\\CorvaneX\\H", ""), CreateResult::Created);
    EXPECT_FALSE(b().keyExists(LM, "SOFTWARE\\CorvaneX\\H\\modules"));
    // A parent is a key like any other: it takes values, which belong to it alone.
    EXPECT_TRUE(b().setValue(LM, "SOFTWARE\\Corvane\\H", "ImportDir", Sz("/srv/import/")));
    ExpectValue(LM, "SOFTWARE\\Corvane\\H", "ImportDir", Sz("/srv/import/"));
    EXPECT_FALSE(b().queryValue(LM, kModelKey, "ImportDir").has_value());
    EXPECT_FALSE(b().queryValue(CU, "SOFTWARE\\Corvane\\H", "ImportDir").has_value());
}

TEST_P(RegistryTest, EveryValueTypeComesBackAsItWasSet) {
    std::vector<unsigned char> bytes200(200);
    for (size_t i = 0; i < bytes200.size(); ++i) bytes200[i] = static_cast<unsigned char>(i * 7);
    const std::pair<const char*, reg::Value> rows[] = {
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
    ASSERT_EQ(b().createKey(LM, kModelKey, ""), CreateResult::Created);
    for (const auto& [name, value] : rows) EXPECT_TRUE(b().setValue(LM, kModelKey, name, value)) << name;
    for (const auto& [name, value] : rows) ExpectValue(LM, kModelKey, name, value);
    // A write replaces type and data.
    ASSERT_TRUE(b().setValue(LM, kModelKey, "Port", Dword(4)));
    ExpectValue(LM, kModelKey, "Port", Dword(4));
}

TEST_P(RegistryTest, ValueNamesIgnoreCaseKeepTheirFirstCaseAndAreListedOnce) {
    ASSERT_EQ(b().createKey(LM, kModelKey, ""), CreateResult::Created);
    for (const char* name : {"Type0", "Desc0", "Marker", "TYPE0", "desc0"})
        ASSERT_TRUE(b().setValue(LM, kModelKey, name, Sz(name)));
    ExpectValue(LM, kModelKey, "type0", Sz("TYPE0"));
    auto names = b().valueNames(LM, kModelKey);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Desc0", "Marker", "Type0"}));
}

TEST_P(RegistryTest, ReadRegValueTrimsReadsDwordsAsSignedTextAndKeepsTheDefaultOtherwise) {
    Put(LM, "COM", Sz("  COM3 "));
    Put(LM, "Blank", Sz(" "));
    Put(LM, "Empty", Sz(""));
    Put(LM, "Controls", Sz(" \r\n\t "));
    Put(LM, "Five", Dword(5));
    Put(LM, "AllBits", Dword(0xFFFFFFFF));
    Put(LM, "Dir", Sz("%TEMP%\\Corvane", reg::kExpandSz));
    Put(LM, "Blob", Raw(reg::kBinary, {'4', '2', 0}));
    const struct {
        const char* name;
        bool found;
        const char* value;
    } rows[] = {
        {"COM", true, "COM3"},     {"Blank", true, "default"}, {"Empty", true, "default"},
        {"Controls", true, "default"}, {"Five", true, "5"},    {"AllBits", true, "-1"},
        {"Dir", true, "%TEMP%\\Corvane"}, {"Blob", true, "default"}, {"Missing", false, "default"},
    };
    for (const auto& row : rows) {
        QString value = QStringLiteral("default");
        EXPECT_EQ(r.ReadRegValue(LM, kKey, QLatin1String(row.name), value), row.found) << row.name;
        EXPECT_EQ(value, QLatin1String(row.value)) << row.name;
    }
    QString value = QStringLiteral("default");
    EXPECT_FALSE(r.ReadRegValue(LM, kKey + QStringLiteral("\\Missing"), QStringLiteral("COM"), value));
    EXPECT_EQ(value, QStringLiteral("default"));
}

TEST_P(RegistryTest, WriteRegStringCreatesTheKeyAndWritesAnEmptyTextAsOneBlank) {
    EXPECT_TRUE(r.WriteRegString(LM, kKey, QStringLiteral("COM"), QStringLiteral("12")));
    EXPECT_TRUE(r.KeyExists(LM, QStringLiteral("software\\corvane")));
    ExpectValue(LM, kModelKey, "COM", Sz("12"));
    EXPECT_TRUE(r.WriteRegString(LM, kKey, QStringLiteral("Desc"), QString()));
    ExpectValue(LM, kModelKey, "Desc", Sz(" "));
    QString value = QStringLiteral("default");
    EXPECT_TRUE(r.ReadRegValue(LM, kKey, QStringLiteral("Desc"), value));
    EXPECT_EQ(value, QStringLiteral("default"));
}

TEST_P(RegistryTest, CreateRegKeyIsTrueOnlyForANewKeyAndLeavesAnOldOneAlone) {
    EXPECT_TRUE(r.CreateRegKey(LM, kKey, QStringLiteral("string")));
    ASSERT_TRUE(r.WriteRegString(LM, kKey, QStringLiteral("COM"), QStringLiteral("3")));
    EXPECT_FALSE(r.CreateRegKey(LM, kKey, QStringLiteral("string")));
    EXPECT_FALSE(r.CreateRegKey(LM, QStringLiteral("SOFTWARE\\Corvane\\H"), QStringLiteral("string")));
    ExpectValue(LM, kModelKey, "COM", Sz("3"));
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryTest, ::testing::ValuesIn(AllBackends()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace bdlogic::test
