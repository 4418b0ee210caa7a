#include "fake_import_steps.h"
#include "support/services_fixture.h"
#include "wizard/wizard.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using reg::Hive;
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

using FakeSteps = test::FakeImportSteps;

class WizardTest : public ::testing::Test {
protected:
    WizardTest() {
        w.useEchoLanguage();
        w.state.sRootKey = QStringLiteral("SOFTWARE\\Corvane\\H");
        w.state.sRegPath = w.state.sRootKey + QStringLiteral("\\modules\\");
        w.state.sRegkey = w.state.sDriverName = QStringLiteral("BD Logic");
        w.state.iUniqueImportID = 64;
        w.state.iComm = 3;
    }
    Wizard make() {
        return Wizard(w.services, steps,
                      {[] {}, [this](bool end) { finished.push_back(end); }, [this] { ++setups; }, [] { return 7; }, {}});
    }
    test::FakeWorld w;
    FakeSteps steps;
    std::vector<bool> finished;
    int setups = 0;
};

TEST_F(WizardTest, IntroductionShowsTheModelAndItsPicture) {
    Wizard z = make();
    z.Go();
    EXPECT_EQ(z.page(), 0);
    EXPECT_TRUE(z.screen().introVisible);
    EXPECT_EQ(z.screen().front, WizardPage::Intro);
    EXPECT_EQ(z.screen().lblintro.text, QStringLiteral("T1201"));
    EXPECT_EQ(z.screen().lblMeterName.text, QStringLiteral("T1200[BD Logic]"));
    EXPECT_EQ(z.screen().title, QStringLiteral("BD Logic"));
    EXPECT_EQ(z.screen().stepPicture, 164);
    EXPECT_TRUE(z.screen().nextEnabled);
    // The remembered port is ticked and current.
    ASSERT_EQ(z.screen().ports.entries().size(), 16u);
    EXPECT_EQ(z.screen().ports.firstSelected(), 2);
    EXPECT_EQ(z.screen().ports.current(), 2);
    EXPECT_EQ(z.screen().ports.entries()[2].text, QStringLiteral("COM:3"));
}

TEST_F(WizardTest, CheckParamsetupBlocksOnlyWithoutAUserSetUp) {
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
        world.state = w.state;
        if (r.configure) world.backend.putString(Hive::LocalMachine, kModel, "Configure_Meter", r.configure);
        if (r.doInit) world.backend.putString(Hive::LocalMachine, kModel, "DoInit", r.doInit);
        if (r.type0) world.backend.putString(Hive::CurrentUser, kModel, "Type0", r.type0);
        Wizard z(world.services, steps, {});
        z.Go();
        const std::string row = std::string(r.configure ? r.configure : "-") + "/" + (r.doInit ? r.doInit : "-") +
                                "/" + (r.type0 ? r.type0 : "-");
        EXPECT_EQ(z.Check_Paramsetup(), r.ok) << row;
        EXPECT_EQ(z.screen().nextEnabled, r.ok) << row;
        EXPECT_EQ(z.screen().setupWarning, !r.ok) << row;
        EXPECT_EQ(z.screen().imgdoinitVisible, !r.ok) << row;
        EXPECT_EQ(z.screen().lblSetuptext.text, r.ok ? QStringLiteral("T1260") : QStringLiteral("T1399")) << row;
    }
}

TEST_F(WizardTest, SetUpThatStoresType0UnblocksTheIntroduction) {
    w.backend.putString(Hive::LocalMachine, kModel, "Configure_Meter", "1");
    w.backend.putString(Hive::LocalMachine, kModel, "DoInit", "1");
    Wizard z = Wizard(w.services, steps,
                      {{}, {}, [this] { w.backend.putString(Hive::CurrentUser, kModel, "Type0", "0"); }, {}, {}});
    z.Go();
    EXPECT_FALSE(z.screen().nextEnabled);
    EXPECT_TRUE(z.screen().frameSetupVisible);
    z.cmdSetup_Click();
    EXPECT_TRUE(z.screen().nextEnabled);
    EXPECT_FALSE(z.screen().setupWarning);
    EXPECT_FALSE(z.screen().setupVisible);
    EXPECT_EQ(z.screen().lblSetuptext.text, QStringLiteral("T1260"));
}

TEST_F(WizardTest, PortStepStaysOnThePortPageWithoutAChoiceOrAfterAFailedTest) {
    Wizard z = make();
    z.Go();
    z.cmdNext_Click();
    EXPECT_EQ(z.page(), 1);
    EXPECT_TRUE(z.screen().selectComVisible);
    EXPECT_FALSE(z.screen().introVisible);
    EXPECT_EQ(z.screen().stepPicture, 1164);

    steps.portOk = false;
    z.cmdNext_Click();
    EXPECT_EQ(z.page(), 1);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, QStringLiteral("COM:3 ---> T1203"));
    EXPECT_EQ(w.messages.shown[0].icon, MessageIcon::Critical);

    z.screen().ports.ItemCheck(-1); // nothing ticked
    z.cmdNext_Click();
    EXPECT_EQ(z.page(), 1);
    ASSERT_EQ(w.messages.shown.size(), 2u);
    EXPECT_EQ(w.messages.shown[1].text, QStringLiteral("T649"));
    EXPECT_EQ(w.messages.shown[1].icon, MessageIcon::Information);
    EXPECT_EQ(steps.probed, std::vector<std::int16_t>{3});

    steps.portOk = true;
    z.lbPorts_ItemCheck(11);
    z.cmdNext_Click();
    EXPECT_EQ(z.page(), 2);
    EXPECT_EQ(w.state.iComm, 12);
    EXPECT_FALSE(z.screen().selectComVisible);
    EXPECT_EQ(z.screen().lblStepGuide.text, QStringLiteral("T1204[BD Logic,12]\r\nT1336"));
}

TEST_F(WizardTest, TestPortsZeroPassesEveryPortUnopened) {
    w.backend.putString(Hive::LocalMachine, "SOFTWARE\\Corvane\\H", "TestPorts", "0");
    Wizard z = make();
    EXPECT_TRUE(z.TestPort(5, 0));
    EXPECT_TRUE(steps.probed.empty());
    steps.portOk = false;
    EXPECT_FALSE(z.TestPort(5, 1)); // forced: the setting is not consulted
}

TEST_F(WizardTest, MeterThatDoesNotAnswerReturnsToTheIntroductionAndNextRescans) {
    steps.answers = false;
    Wizard z = make();
    z.Go();
    z.cmdNext_Click();
    z.cmdNext_Click();
    z.cmdNext_Click();
    EXPECT_EQ(z.page(), 0);
    EXPECT_TRUE(z.screen().introVisible);
    EXPECT_FALSE(z.screen().hourglass);
    EXPECT_GE(steps.closes, 1);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, QStringLiteral("T642[BD Logic,3]"));
    EXPECT_EQ(z.lastOutcome(), ImportOutcome::NoAnswer);
    w.state.iComm = 5; // the next Next on page 0 scans again and ticks the port now in use
    z.cmdNext_Click();
    EXPECT_EQ(z.page(), 1);
    EXPECT_EQ(z.screen().ports.firstSelected(), 4);
}

TEST_F(WizardTest, DownloadWithoutRecordsReturnsSilently) {
    Wizard z = make();
    z.Go();
    for (int i = 0; i < 3; ++i) z.cmdNext_Click();
    EXPECT_EQ(z.page(), 0);
    EXPECT_TRUE(w.messages.shown.empty());
    EXPECT_EQ(steps.exports, 0);
    EXPECT_EQ(z.lastOutcome(), ImportOutcome::NoRecords);
}

TEST_F(WizardTest, FullImportShowsTheCountsAndOneMoreNextEnds) {
    steps.produced = 5;
    steps.records.iGlucoseLastRead = 2;
    steps.records.iInsulinLast = 0;
    steps.records.iMedicinesLast = 0;
    steps.records.iNoDateCount = 2;
    w.state.sMeterID = QStringLiteral("LG123");
    Wizard z = make();
    z.Go();
    for (int i = 0; i < 3; ++i) z.cmdNext_Click();
    EXPECT_EQ(z.page(), 6);
    EXPECT_EQ(steps.exports, 1);
    EXPECT_EQ(z.lastImportFile(), QStringLiteral("/import/01012026120000.00017"));
    const WizardScreen& s = z.screen();
    EXPECT_TRUE(s.successVisible);
    EXPECT_EQ(s.front, WizardPage::Success);
    EXPECT_FALSE(s.cancelVisible);
    EXPECT_TRUE(s.nextEnabled);
    EXPECT_EQ(s.nextCaption.text, QStringLiteral("T908"));
    EXPECT_EQ(s.lblnBG.text, QStringLiteral("3"));
    EXPECT_EQ(s.lblnIG.text, QStringLiteral("2"));
    EXPECT_EQ(s.lblMeterID.text, QStringLiteral("LG123"));
    EXPECT_EQ(s.lblNoDate.text, QStringLiteral("T1232[2]\r\nT1347"));
    EXPECT_TRUE(finished.empty());
    z.cmdNext_Click();
    EXPECT_EQ(finished, std::vector<bool>{true});
}

TEST_F(WizardTest, ResultCountsShowADashForEmptyKinds) {
    steps.produced = 1;
    steps.records.iIntakesLast = 3;
    Wizard z = make();
    z.Go();
    for (int i = 0; i < 3; ++i) z.cmdNext_Click();
    EXPECT_EQ(z.screen().lblnBG.text, QStringLiteral("-"));
    EXPECT_EQ(z.screen().lblnIG.text, QStringLiteral("4"));
    EXPECT_TRUE(z.screen().lblNoDate.set);
    EXPECT_TRUE(z.screen().lblNoDate.text.isEmpty());
}

TEST_F(WizardTest, CancelDuringTheDownloadWritesNoFile) {
    steps.produced = 5;
    Wizard z = make();
    steps.duringRead = [&] {
        z.cmdCancel_Click();
        w.pump.requestStop();
    };
    z.Go();
    for (int i = 0; i < 3; ++i) z.cmdNext_Click();
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(steps.exports, 0);
    EXPECT_GE(steps.closes, 1);
    EXPECT_EQ(z.lastOutcome(), ImportOutcome::Cancelled);
}

TEST_F(WizardTest, AnimationRotatesRightAndColoursTheLine) {
    Wizard z = make();
    z.setAnimate(true);
    EXPECT_TRUE(z.screen().timerEnabled);
    EXPECT_TRUE(z.screen().animationVisible);
    z.Timer1_Timer();
    EXPECT_EQ(z.screen().lblAnimate.text, QStringLiteral("10111101100"));
    z.Timer1_Timer();
    EXPECT_EQ(z.screen().lblAnimate.text, QStringLiteral("01011110110"));
    EXPECT_EQ(z.screen().lineAnimateColor, 7);
    z.setAnimate(false);
    EXPECT_FALSE(z.screen().timerEnabled);
    EXPECT_FALSE(z.Animate());
}

TEST_F(WizardTest, HelpShowsTheFiveParagraphs) {
    Wizard z = make();
    z.cmdHelp_Click();
    ASSERT_EQ(w.messages.shown.size(), 1u);
    const auto& m = w.messages.shown[0];
    EXPECT_EQ(m.icon, MessageIcon::Information);
    EXPECT_EQ(m.title, QStringLiteral("BD Logic"));
    EXPECT_TRUE(m.text.startsWith(
        QStringLiteral("Bitte folgen Sie den Anweisungen des Assistenten zur Datenübertragung.\r\n\r\nÜber ")));
    EXPECT_EQ(m.text.count(QStringLiteral("\r\n")), 7);
    EXPECT_TRUE(m.text.endsWith(QStringLiteral("kann ein Kommentartext hinzugefügt werden.")));
}

TEST_F(WizardTest, UsbButtonOnlyWithACable) {
    {
        Wizard z = make();
        z.Go();
        EXPECT_FALSE(z.screen().usbInfoVisible);
        EXPECT_FALSE(z.screen().portsListShort);
    }
    w.backend.putString(Hive::LocalMachine, kModel, "USBSerial", "1");
    w.backend.putString(Hive::LocalMachine, kModel, "USBKey", "  -k 12 ");
    w.backend.putString(Hive::LocalMachine, kModel, "USBDriver", "FTDI");
    QString started;
    Wizard z(w.services, steps, {{}, {}, {}, {}, [&](const QString& p) { started = p; }});
    z.Go();
    EXPECT_TRUE(z.screen().usbInfoVisible);
    EXPECT_TRUE(z.screen().portsListShort);
    z.cmdUSBInfo_Click();
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, QStringLiteral("T1388T1389[FTDI]"));
    EXPECT_EQ(w.messages.shown[0].title, QStringLiteral("T1387"));
    EXPECT_EQ(started, QStringLiteral("-k 12"));
}

TEST_F(WizardTest, WithoutALanguageLibraryNoLookedUpMessageAppears) {
    w.services.language.reset();
    steps.answers = false;
    Wizard z = make();
    z.Go();
    EXPECT_FALSE(z.screen().lblintro.set); // designer text stays
    for (int i = 0; i < 3; ++i) z.cmdNext_Click();
    EXPECT_TRUE(w.messages.shown.empty());
    EXPECT_EQ(z.page(), 0);
}

} // namespace
} // namespace bdlogic
