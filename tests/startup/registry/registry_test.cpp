// The four operations the program reads and writes its settings with, over each backend (what the backends
// themselves must do is in registry_contract_test.cpp).
#include "registry_backends.h"
#include "startup/registry/registry.h"

#include <gtest/gtest.h>

namespace bdlogic::test {
namespace {

using reg::Hive;

constexpr Hive LM = Hive::LocalMachine;
const std::string kModelKey = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";
const QString kKey = QString::fromStdString(kModelKey);

class RegistryTest : public ::testing::TestWithParam<BackendKind> {
protected:
    void SetUp() override { ASSERT_TRUE(under_); }
    reg::Backend& b() { return under_->backend(); }

    void ExpectValue(Hive hive, const std::string& path, const std::string& name, const reg::Value& want) {
        const auto got = b().queryValue(hive, path, name);
        EXPECT_EQ(got ? Describe(*got) : "absent", Describe(want)) << path << " / " << name;
    }
    // Puts a value straight into the backend, creating the key.
    void Put(Hive hive, const std::string& name, const reg::Value& v) {
        b().createKey(hive, kModelKey, "");
        ASSERT_TRUE(b().setValue(hive, kModelKey, name, v));
    }

    std::unique_ptr<BackendUnderTest> under_ = GetParam().make();
    Registry r{under_->backend()};
};

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
