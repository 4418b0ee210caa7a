// The four registry operations over each backend: trimming, defaults, DWORD text, key
// creation, and the empty text written as one blank.
#include "registry_backends.h"
#include "startup/registry.h"

#include <gtest/gtest.h>

namespace bdlogic::test {
namespace {

using reg::Hive;

constexpr Hive LM = Hive::LocalMachine;
constexpr Hive CU = Hive::CurrentUser;
const QString kKey = QStringLiteral("SOFTWARE\\Corvane\\H\\modules\\BD Logic");
const std::string kKeyUtf8 = kKey.toStdString();

class RegistryOperations : public ::testing::TestWithParam<BackendKind> {
protected:
    void SetUp() override {
        under_ = GetParam().make();
        registry_ = std::make_unique<Registry>(under_->backend());
    }
    reg::Backend& b() { return under_->backend(); }
    Registry& r() { return *registry_; }

    // Puts a value straight into the backend, creating the key.
    void Put(Hive hive, const std::string& name, const reg::Value& v) {
        b().createKey(hive, kKeyUtf8, "");
        ASSERT_TRUE(b().setValue(hive, kKeyUtf8, name, v));
    }

private:
    std::unique_ptr<BackendUnderTest> under_;
    std::unique_ptr<Registry> registry_;
};

TEST_P(RegistryOperations, ReadingTrimsBlanksAroundTheText) {
    Put(LM, "COM", Sz("  COM3 "));
    QString value = QStringLiteral("default");
    EXPECT_TRUE(r().ReadRegValue(LM, kKey, QStringLiteral("COM"), value));
    EXPECT_EQ(value, QStringLiteral("COM3"));
}

TEST_P(RegistryOperations, AMissingValueOrKeyReadsFalseAndKeepsTheDefault) {
    QString value = QStringLiteral("default");
    EXPECT_FALSE(r().ReadRegValue(LM, kKey, QStringLiteral("COM"), value));
    EXPECT_EQ(value, QStringLiteral("default"));
    Put(LM, "Desc", Sz("BD Logic"));
    EXPECT_FALSE(r().ReadRegValue(LM, kKey, QStringLiteral("COM"), value));
    EXPECT_EQ(value, QStringLiteral("default"));
}

TEST_P(RegistryOperations, ABlankOrEmptyValueReadsTrueAndKeepsTheDefault) {
    Put(LM, "Blank", Sz(" "));
    Put(LM, "Empty", Sz(""));
    Put(LM, "Controls", Sz(" \r\n\t "));
    for (const char* name : {"Blank", "Empty", "Controls"}) {
        QString value = QStringLiteral("default");
        EXPECT_TRUE(r().ReadRegValue(LM, kKey, QString::fromLatin1(name), value)) << name;
        EXPECT_EQ(value, QStringLiteral("default")) << name;
    }
}

TEST_P(RegistryOperations, AnEmptyTextIsWrittenAsOneBlankAndReadsAsNotSet) {
    EXPECT_TRUE(r().WriteRegString(LM, kKey, QStringLiteral("Desc"), QString()));
    const auto stored = b().queryValue(LM, kKeyUtf8, "Desc");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, reg::kSz);
    EXPECT_EQ(stored->data, Sz(" ").data);
    QString value = QStringLiteral("default");
    EXPECT_TRUE(r().ReadRegValue(LM, kKey, QStringLiteral("Desc"), value));
    EXPECT_EQ(value, QStringLiteral("default"));
}

TEST_P(RegistryOperations, DwordsReadAsSignedDecimalText) {
    Put(LM, "Five", Dword(5));
    Put(LM, "AllBits", Dword(0xFFFFFFFF));
    QString five, allBits;
    EXPECT_TRUE(r().ReadRegValue(LM, kKey, QStringLiteral("Five"), five));
    EXPECT_TRUE(r().ReadRegValue(LM, kKey, QStringLiteral("AllBits"), allBits));
    EXPECT_EQ(five, QStringLiteral("5"));
    EXPECT_EQ(allBits, QStringLiteral("-1"));
}

TEST_P(RegistryOperations, ExpandableTextIsReadUnexpanded) {
    Put(LM, "Dir", Sz("%TEMP%\\Corvane", reg::kExpandSz));
    QString value;
    EXPECT_TRUE(r().ReadRegValue(LM, kKey, QStringLiteral("Dir"), value));
    EXPECT_EQ(value, QStringLiteral("%TEMP%\\Corvane"));
}

TEST_P(RegistryOperations, OtherTypesReadTrueAndKeepTheDefault) {
    Put(LM, "Blob", Raw(reg::kBinary, {'4', '2', 0}));
    QString value = QStringLiteral("default");
    EXPECT_TRUE(r().ReadRegValue(LM, kKey, QStringLiteral("Blob"), value));
    EXPECT_EQ(value, QStringLiteral("default"));
}

TEST_P(RegistryOperations, CreateRegKeyIsTrueOnlyForANewKeyAndLeavesAnOldOneAlone) {
    EXPECT_TRUE(r().CreateRegKey(LM, kKey, QStringLiteral("string")));
    ASSERT_TRUE(r().WriteRegString(LM, kKey, QStringLiteral("COM"), QStringLiteral("3")));
    EXPECT_FALSE(r().CreateRegKey(LM, kKey, QStringLiteral("string")));
    EXPECT_FALSE(r().CreateRegKey(LM, QStringLiteral("SOFTWARE\\Corvane\\H"), QStringLiteral("string")));
    QString value;
    EXPECT_TRUE(r().ReadRegValue(LM, kKey, QStringLiteral("COM"), value));
    EXPECT_EQ(value, QStringLiteral("3"));
}

TEST_P(RegistryOperations, WriteRegStringCreatesAMissingKey) {
    EXPECT_FALSE(r().KeyExists(LM, kKey));
    EXPECT_TRUE(r().WriteRegString(LM, kKey, QStringLiteral("COM"), QStringLiteral("12")));
    EXPECT_TRUE(r().KeyExists(LM, kKey));
    EXPECT_TRUE(r().KeyExists(LM, QStringLiteral("software\\corvane")));
    const auto stored = b().queryValue(LM, kKeyUtf8, "COM");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, reg::kSz);
    EXPECT_EQ(stored->data, Sz("12").data);
}

TEST_P(RegistryOperations, TextsOutsideAsciiRoundTrip) {
    const QString text = QStringLiteral("Blutzucker-Tagebuch für Jürgen – ½ mmol/l");
    ASSERT_TRUE(r().WriteRegString(CU, kKey, QStringLiteral("Desc"), text));
    QString value;
    EXPECT_TRUE(r().ReadRegValue(CU, kKey, QStringLiteral("Desc"), value));
    EXPECT_EQ(value, text);
}

TEST_P(RegistryOperations, ANonBlankUserValueOverridesTheMachineValue) {
    Put(LM, "COM", Sz("3"));
    Put(CU, "COM", Sz(" "));
    QString value;
    r().ReadMachineThenUser(kKey, QStringLiteral("COM"), value);
    EXPECT_EQ(value, QStringLiteral("3"));
    Put(CU, "COM", Sz("4"));
    r().ReadMachineThenUser(kKey, QStringLiteral("COM"), value);
    EXPECT_EQ(value, QStringLiteral("4"));
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryOperations, ::testing::ValuesIn(AllBackends()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace bdlogic::test
