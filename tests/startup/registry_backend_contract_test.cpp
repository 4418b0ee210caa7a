// What every reg::Backend must do, whichever registry is behind it: run on the in-memory fake, the .reg file
// store and (on Windows) the real registry.
#include "registry_backends.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace bdlogic::test {
namespace {

using reg::CreateResult;
using reg::Hive;

constexpr Hive LM = Hive::LocalMachine;
constexpr Hive CU = Hive::CurrentUser;
const std::string kModelKey = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

class BackendContract : public ::testing::TestWithParam<BackendKind> {
protected:
    void SetUp() override {
        under_ = GetParam().make();
        ASSERT_TRUE(under_);
    }
    reg::Backend& b() { return under_->backend(); }

    void ExpectValue(Hive hive, const std::string& path, const std::string& name, const reg::Value& want) {
        const auto got = b().queryValue(hive, path, name);
        ASSERT_TRUE(got.has_value()) << path << " / " << name;
        EXPECT_EQ(got->type, want.type) << name;
        EXPECT_EQ(got->data, want.data) << name;
    }

private:
    std::unique_ptr<BackendUnderTest> under_;
};

TEST_P(BackendContract, AMissingKeyHasNoValuesAndTakesNone) {
    EXPECT_FALSE(b().keyExists(LM, kModelKey));
    EXPECT_FALSE(b().queryValue(LM, kModelKey, "COM").has_value());
    EXPECT_FALSE(b().setValue(LM, kModelKey, "COM", Sz("3")));
    EXPECT_FALSE(b().keyExists(LM, kModelKey));
    EXPECT_TRUE(b().valueNames(LM, kModelKey).empty());
}

TEST_P(BackendContract, CreateKeyReportsANewKeyOnlyOnceWhateverTheCase) {
    EXPECT_EQ(b().createKey(LM, kModelKey, "string"), CreateResult::Created);
    EXPECT_EQ(b().createKey(LM, kModelKey, "string"), CreateResult::Existed);
    EXPECT_EQ(b().createKey(LM, "software\\CORVANE\\h\\Modules\\bd logic", ""), CreateResult::Existed);
    EXPECT_TRUE(b().keyExists(LM, kModelKey));
    EXPECT_TRUE(b().keyExists(LM, "SOFTWARE\\corvane\\H\\MODULES\\Bd Logic"));
}

TEST_P(BackendContract, CreateKeyCreatesTheMissingParents) {
    ASSERT_EQ(b().createKey(LM, kModelKey, ""), CreateResult::Created);
    EXPECT_TRUE(b().keyExists(LM, "SOFTWARE"));
    EXPECT_TRUE(b().keyExists(LM, "SOFTWARE\\Corvane\\H"));
    EXPECT_EQ(b().createKey(LM, "SOFTWARE\\Corvane\\H", ""), CreateResult::Existed);
    // A parent is a key like any other: it takes values.
    EXPECT_TRUE(b().setValue(LM, "SOFTWARE\\Corvane\\H", "ImportDir", Sz("/srv/import/")));
    ExpectValue(LM, "SOFTWARE\\Corvane\\H", "ImportDir", Sz("/srv/import/"));
    EXPECT_FALSE(b().queryValue(LM, kModelKey, "ImportDir").has_value());
}

TEST_P(BackendContract, KeyNamesMatchWholeComponentsOnly) {
    ASSERT_EQ(b().createKey(LM, "SOFTWARE\\CorvaneX\\H", ""), CreateResult::Created);
    EXPECT_FALSE(b().keyExists(LM, "SOFTWARE\\Corvane"));
    EXPECT_FALSE(b().keyExists(LM, "SOFTWARE\\Corvane\\H"));
    EXPECT_FALSE(b().keyExists(LM, "SOFTWARE\\CorvaneX\\H\\modules"));
    EXPECT_EQ(b().createKey(LM, "SOFTWARE\\Corvane", ""), CreateResult::Created);
}

TEST_P(BackendContract, EveryValueTypeComesBackAsItWasSet) {
    std::vector<unsigned char> bytes200(200);
    for (size_t i = 0; i < bytes200.size(); ++i) bytes200[i] = static_cast<unsigned char>(i * 7);
    const struct {
        const char* name;
        reg::Value value;
    } rows[] = {
        {"Port", Sz("COM3")},
        {"EmptyText", Sz("")},
        {"Umlauts", Sz("Grüße aus Köln – ½ € Ω Ж")},
        {"Escapes", Sz("C:\\Corvane\\\"quoted\"\\")},
        {"Blanks", Sz("  COM3 ")},
        {"LineBreaks", Sz("line one\r\nline two\n")},
        {"NoNul", Raw(reg::kSz, {'a', 'b', 'c'})},
        {"Expand", Sz("%ProgramFiles%\\Corvane\\H", reg::kExpandSz)},
        {"ExpandUmlaut", Sz("%USERPROFILE%\\Dokumente\\Blutzucker-Ärger", reg::kExpandSz)},
        {"Five", Dword(5)},
        {"AllBits", Dword(0xFFFFFFFF)},
        {"Binary", Raw(reg::kBinary, bytes200)},
        {"EmptyBinary", Raw(reg::kBinary, {})},
        {"Multi", Raw(7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0})},
        {"Qword", Raw(11, {1, 2, 3, 4, 5, 6, 7, 0x80})},
        {"None", Raw(reg::kNone, {0xde, 0xad})},
    };
    ASSERT_EQ(b().createKey(LM, kModelKey, ""), CreateResult::Created);
    for (const auto& r : rows) EXPECT_TRUE(b().setValue(LM, kModelKey, r.name, r.value)) << r.name;
    for (const auto& r : rows) ExpectValue(LM, kModelKey, r.name, r.value);
}

TEST_P(BackendContract, ValueNamesIgnoreCaseAndKeepTheirFirstCase) {
    ASSERT_EQ(b().createKey(LM, kModelKey, ""), CreateResult::Created);
    ASSERT_TRUE(b().setValue(LM, kModelKey, "ImportDir", Sz("a")));
    ExpectValue(LM, kModelKey, "IMPORTDIR", Sz("a"));
    ASSERT_TRUE(b().setValue(LM, kModelKey, "importdir", Sz("b")));
    ExpectValue(LM, kModelKey, "ImportDir", Sz("b"));
    EXPECT_EQ(b().valueNames(LM, kModelKey), std::vector<std::string>{"ImportDir"});
}

TEST_P(BackendContract, TheDefaultValueIsNotAValueNamedAt) {
    ASSERT_EQ(b().createKey(LM, kModelKey, ""), CreateResult::Created);
    ASSERT_TRUE(b().setValue(LM, kModelKey, "", Sz("default")));
    EXPECT_FALSE(b().queryValue(LM, kModelKey, "@").has_value());
    ASSERT_TRUE(b().setValue(LM, kModelKey, "@", Sz("at")));
    ExpectValue(LM, kModelKey, "", Sz("default"));
    ExpectValue(LM, kModelKey, "@", Sz("at"));
}

TEST_P(BackendContract, AWriteReplacesTypeAndData) {
    ASSERT_EQ(b().createKey(LM, kModelKey, ""), CreateResult::Created);
    ASSERT_TRUE(b().setValue(LM, kModelKey, "COM", Sz("3")));
    ASSERT_TRUE(b().setValue(LM, kModelKey, "COM", Dword(4)));
    ExpectValue(LM, kModelKey, "COM", Dword(4));
    ASSERT_TRUE(b().setValue(LM, kModelKey, "COM", Sz("5")));
    ExpectValue(LM, kModelKey, "COM", Sz("5"));
}

TEST_P(BackendContract, TheHivesAreSeparate) {
    ASSERT_EQ(b().createKey(LM, kModelKey, ""), CreateResult::Created);
    ASSERT_TRUE(b().setValue(LM, kModelKey, "COM", Sz("3")));
    EXPECT_FALSE(b().keyExists(CU, kModelKey));
    EXPECT_FALSE(b().queryValue(CU, kModelKey, "COM").has_value());
    ASSERT_EQ(b().createKey(CU, kModelKey, ""), CreateResult::Created);
    ASSERT_TRUE(b().setValue(CU, kModelKey, "COM", Sz("7")));
    ExpectValue(LM, kModelKey, "COM", Sz("3"));
    ExpectValue(CU, kModelKey, "COM", Sz("7"));
}

TEST_P(BackendContract, AValueBelongsToItsOwnKeyOnly) {
    ASSERT_EQ(b().createKey(LM, kModelKey + "\\Child", ""), CreateResult::Created);
    ASSERT_TRUE(b().setValue(LM, kModelKey, "COM", Sz("3")));
    EXPECT_FALSE(b().queryValue(LM, "SOFTWARE\\Corvane\\H\\modules", "COM").has_value());
    EXPECT_FALSE(b().queryValue(LM, kModelKey + "\\Child", "COM").has_value());
    EXPECT_TRUE(b().valueNames(LM, kModelKey + "\\Child").empty());
}

TEST_P(BackendContract, ValueNamesListsEachValueOnce) {
    ASSERT_EQ(b().createKey(LM, kModelKey, ""), CreateResult::Created);
    for (const char* name : {"Type0", "Desc0", "Marker", "Type0", "desc0"})
        ASSERT_TRUE(b().setValue(LM, kModelKey, name, Sz(name)));
    auto names = b().valueNames(LM, kModelKey);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Desc0", "Marker", "Type0"}));
}

INSTANTIATE_TEST_SUITE_P(Backends, BackendContract, ::testing::ValuesIn(AllBackends()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace bdlogic::test
