// The wizard's logic driven directly, for what the window tests (ziv_uvivodu_test.cpp) do not show.
#include "fake_import_steps.h"
#include "support/services_fixture.h"
#include "support/test_files.h"
#include "wizard/wizard.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using reg::Hive;
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

class WizardTest : public ::testing::Test {
protected:
    WizardTest() {
        w.useEchoLanguage();
        test::BdLogicOnCom3(w.state);
    }
    Wizard started() {
        Wizard z(w.services, steps, {});
        z.Go();
        return z;
    }
    test::FakeWorld w;
    test::FakeImportSteps steps;
};

TEST(CheckParamsetup, BlocksOnlyWithoutAUserSetUpAndOffersItWithConfigureMeter) {
    const struct {
        const char* configure; // nullptr: not stored
        const char* doInit;
        const char* type0;
        bool ok;
    } rows[] = {
        {nullptr, nullptr, nullptr, true}, {"1", "1", nullptr, false}, {"1", "1", "0", true},
        {"0", "1", nullptr, true},         {"1", "0", nullptr, true},  {"abc", "1", nullptr, true},
        {"1", "x", nullptr, true},
    };
    for (const auto& r : rows) {
        test::FakeWorld world;
        test::BdLogicOnCom3(world.state);
        if (r.configure) world.backend.putString(Hive::LocalMachine, kModel, "Configure_Meter", r.configure);
        if (r.doInit) world.backend.putString(Hive::LocalMachine, kModel, "DoInit", r.doInit);
        if (r.type0) world.backend.putString(Hive::CurrentUser, kModel, "Type0", r.type0);
        test::FakeImportSteps steps;
        Wizard z(world.services, steps, {});
        z.Go();
        const std::string row = std::string(r.configure ? r.configure : "-") + "/" +
                                (r.doInit ? r.doInit : "-") + "/" + (r.type0 ? r.type0 : "-");
        EXPECT_EQ(z.Check_Paramsetup(), r.ok) << row;
        EXPECT_EQ(z.screen().nextEnabled, r.ok) << row;
        EXPECT_EQ(z.screen().frameSetupVisible, r.configure && r.configure == std::string("1")) << row;
    }
}

TEST_F(WizardTest, TestPortsZeroPassesEveryPortUnopened) {
    w.backend.putString(Hive::LocalMachine, "SOFTWARE\\Corvane\\H", "TestPorts", "0");
    Wizard z = started();
    EXPECT_TRUE(z.TestPort(5, 0));
    EXPECT_TRUE(steps.probed.empty());
    steps.portOk = false;
    EXPECT_FALSE(z.TestPort(5, 1)); // forced: the setting is not consulted
}

TEST_F(WizardTest, HelpFileIsTakenOnlyWhenItCanBeRead) {
    QTemporaryDir dir;
    w.services.programDir = dir.path();
    const QString help = dir.filePath(QStringLiteral("bdlogic.hlp"));
    ASSERT_TRUE(test::WriteBytes(help, "help"));
    EXPECT_EQ(started().screen().helpFile, help);
    // A file that nobody can open for reading, root included: a write-only kernel attribute.
    QFile::remove(help);
    if (!QFile::link(QStringLiteral("/sys/bus/pci/rescan"), help) || !QFileInfo(help).isFile())
        GTEST_SKIP() << "no write-only kernel attribute here";
    EXPECT_EQ(started().screen().helpFile, QString());
}

TEST_F(WizardTest, AFailedDownloadReturnsToTheIntroductionAndClosesThePort) {
    // No records: silently. No answer: a critical message, when there is a language library to word it.
    const struct {
        bool answers;
        bool library;
        ImportOutcome outcome;
        QString message;
    } rows[] = {{true, true, ImportOutcome::NoRecords, {}},
                {false, true, ImportOutcome::NoAnswer, QStringLiteral("T642[BD Logic,3]")},
                {false, false, ImportOutcome::NoAnswer, {}}};
    for (const auto& r : rows) {
        steps.answers = r.answers;
        if (!r.library) w.services.language.reset();
        w.messages.shown.clear();
        const int closes = steps.closes;
        Wizard z = started();
        for (int i = 0; i < 3; ++i)
            z.cmdNext_Click();
        EXPECT_EQ(z.lastOutcome(), r.outcome);
        EXPECT_EQ(z.page(), 0);
        EXPECT_EQ(z.screen().front, WizardPage::Intro);
        EXPECT_GT(steps.closes, closes);
        EXPECT_EQ(z.screen().lblintro.set, r.library); // without a library the designer's text stays
        QStringList told;                              // each message's text, and "!" for a critical one
        for (const auto& m : w.messages.shown)
            told << m.text << (m.icon == MessageIcon::Critical ? "!" : "");
        EXPECT_EQ(told, r.message.isEmpty() ? QStringList() : QStringList({r.message, "!"}));
    }
    EXPECT_EQ(steps.exports, 0);
}

TEST_F(WizardTest, ResultCountsShowADashForEmptyKinds) {
    steps.produced = 1;
    steps.records.iIntakesLast = 3;
    Wizard z = started();
    for (int i = 0; i < 3; ++i)
        z.cmdNext_Click();
    EXPECT_EQ(z.screen().lblnBG.text, QStringLiteral("-"));
    EXPECT_EQ(z.screen().lblnIG.text, QStringLiteral("4"));
    EXPECT_TRUE(z.screen().lblNoDate.set);
    EXPECT_TRUE(z.screen().lblNoDate.text.isEmpty());
}

} // namespace
} // namespace bdlogic
