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
    Wizard make() { return Wizard(w.services, steps, {}); }
    test::FakeWorld w;
    test::FakeImportSteps steps;
};

TEST(CheckParamsetup, BlocksOnlyWithoutAUserSetUp) {
    const struct {
        const char* configure;
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
        world.useEchoLanguage();
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
        EXPECT_EQ(z.screen().setupWarning, !r.ok) << row;
        EXPECT_EQ(z.screen().imgdoinitVisible, !r.ok) << row;
        EXPECT_EQ(z.screen().lblSetuptext.text, r.ok ? QStringLiteral("T1260") : QStringLiteral("T1399"))
            << row;
        // The set-up is offered whenever Configure_Meter is on.
        EXPECT_EQ(z.screen().frameSetupVisible, r.configure && r.configure == std::string("1")) << row;
    }
}

TEST_F(WizardTest, TestPortsZeroPassesEveryPortUnopened) {
    w.backend.putString(Hive::LocalMachine, "SOFTWARE\\Corvane\\H", "TestPorts", "0");
    Wizard z = make();
    EXPECT_TRUE(z.TestPort(5, 0));
    EXPECT_TRUE(steps.probed.empty());
    steps.portOk = false;
    EXPECT_FALSE(z.TestPort(5, 1)); // forced: the setting is not consulted
}

TEST_F(WizardTest, NextWithoutATickedPortStaysOnThePortPage) {
    Wizard z = make();
    z.Go();
    z.cmdNext_Click();
    std::int16_t none = -1;
    z.screen().ports.ScanPorts(none, 0); // an empty list
    z.cmdNext_Click();
    EXPECT_EQ(z.page(), 1);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, QStringLiteral("T649"));
    EXPECT_EQ(w.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(steps.probed.empty());
}

TEST_F(WizardTest, HelpFileIsTakenOnlyWhenItCanBeRead) {
    QTemporaryDir dir;
    w.services.programDir = dir.path();
    const QString help = dir.filePath(QStringLiteral("bdlogic.hlp"));
    const auto helpFile = [&] {
        Wizard z = make();
        z.init();
        return z.screen().helpFile;
    };
    ASSERT_TRUE(test::WriteBytes(help, "help"));
    EXPECT_EQ(helpFile(), help);
    // A file that nobody can open for reading, root included: a write-only kernel attribute.
    QFile::remove(help);
    if (!QFile::link(QStringLiteral("/sys/bus/pci/rescan"), help) || !QFileInfo(help).isFile())
        GTEST_SKIP() << "no write-only kernel attribute here";
    EXPECT_EQ(helpFile(), QString());
}

TEST_F(WizardTest, DownloadWithoutRecordsReturnsSilently) {
    Wizard z = make();
    z.Go();
    for (int i = 0; i < 3; ++i)
        z.cmdNext_Click();
    EXPECT_EQ(z.page(), 0);
    EXPECT_TRUE(w.messages.shown.empty());
    EXPECT_EQ(steps.exports, 0);
    EXPECT_EQ(z.lastOutcome(), ImportOutcome::NoRecords);
}

TEST_F(WizardTest, ResultCountsShowADashForEmptyKinds) {
    steps.produced = 1;
    steps.records.iIntakesLast = 3;
    Wizard z = make();
    z.Go();
    for (int i = 0; i < 3; ++i)
        z.cmdNext_Click();
    EXPECT_EQ(z.screen().lblnBG.text, QStringLiteral("-"));
    EXPECT_EQ(z.screen().lblnIG.text, QStringLiteral("4"));
    EXPECT_TRUE(z.screen().lblNoDate.set);
    EXPECT_TRUE(z.screen().lblNoDate.text.isEmpty());
}

TEST_F(WizardTest, WithoutALanguageLibraryNoLookedUpMessageAppears) {
    w.services.language.reset();
    steps.answers = false;
    Wizard z = make();
    z.Go();
    EXPECT_FALSE(z.screen().lblintro.set); // designer text stays
    for (int i = 0; i < 3; ++i)
        z.cmdNext_Click();
    EXPECT_TRUE(w.messages.shown.empty());
    EXPECT_EQ(z.page(), 0);
    EXPECT_EQ(z.lastOutcome(), ImportOutcome::NoAnswer);
}

} // namespace
} // namespace bdlogic
