#include "startup/startup.h"
#include "support/scoped_env.h"
#include "support/services_fixture.h"
#include "support/test_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using reg::Hive;
const std::string kRoot = "SOFTWARE\\Corvane\\H";
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

class StartupTest : public ::testing::Test {
protected:
    test::FakeWorld w;
    int wizardOpened = 0;
    int processEnded = 0;
    Startup startup{w.services, [this] { ++wizardOpened; }, [this] { ++processEnded; }};
};

TEST_F(StartupTest, ReadsTheCommandLineAndTheRememberedPort) {
    w.backend.putString(Hive::LocalMachine, kModel, "COM", " 7 ");
    startup.start(QStringLiteral("H|17|0|64"));
    EXPECT_EQ(w.state.sRootKey, QStringLiteral("SOFTWARE\\Corvane\\H"));
    EXPECT_EQ(w.state.sRegPath, QStringLiteral("SOFTWARE\\Corvane\\H\\modules\\"));
    EXPECT_EQ(w.state.sRegkey, QStringLiteral("BD Logic"));
    EXPECT_EQ(w.state.sDriverName, QStringLiteral("BD Logic"));
    EXPECT_EQ(w.state.iPatientID, 17);
    EXPECT_EQ(w.state.iComm, 7);
    EXPECT_EQ(w.state.iUniqueImportID, 64);
    EXPECT_EQ(wizardOpened, 1);
    EXPECT_TRUE(w.messages.shown.empty());
    startup.iFinished(true);
    EXPECT_EQ(w.backend.string(Hive::LocalMachine, kModel, "COM"), "7");
    EXPECT_EQ(processEnded, 1);
    EXPECT_TRUE(w.pump.stopRequested());
}

TEST_F(StartupTest, RememberedPortFallsBackToOne) {
    const struct {
        const char* stored;
        bool dword;
        std::int16_t port;
    } rows[] = {{nullptr, false, 1}, {"0", false, 1}, {"12x", false, 12}, {nullptr, true, 9}};
    for (const auto& r : rows) {
        test::FakeWorld world;
        if (r.stored) world.backend.putString(Hive::LocalMachine, kModel, "COM", r.stored);
        if (r.dword) world.backend.putDword(Hive::LocalMachine, kModel, "COM", 9);
        Startup s(world.services, {}, {});
        s.start(QStringLiteral("H|17|0|64"));
        EXPECT_EQ(world.state.iComm, r.port) << (r.stored ? r.stored : "(none)");
    }
}

TEST_F(StartupTest, PortFromTheCommandLineIsNotReadButWrittenBack) {
    w.backend.putString(Hive::LocalMachine, kModel, "COM", "7");
    startup.start(QStringLiteral("H|17|5|64"));
    EXPECT_EQ(w.state.iComm, 5);
    startup.iFinished(false);
    EXPECT_EQ(w.backend.string(Hive::LocalMachine, kModel, "COM"), "5");
    EXPECT_EQ(processEnded, 0);
}

TEST_F(StartupTest, RefusesCallsWithoutAKnownModel) {
    const struct {
        const char* args;
        QString message;
    } rows[] = {{"H|17", kMeterIdRequired}, {"H|17|0|abc", kMeterIdRequired}, {"H|17|0|65", kIllegalDriverCall}};
    for (const auto& r : rows) {
        test::FakeWorld world;
        int opened = 0, ended = 0;
        Startup s(world.services, [&] { ++opened; }, [&] { ++ended; });
        s.start(QString::fromLatin1(r.args));
        ASSERT_EQ(world.messages.shown.size(), 1u) << r.args;
        EXPECT_EQ(world.messages.shown[0].text, r.message);
        EXPECT_EQ(world.messages.shown[0].icon, MessageIcon::None);
        EXPECT_TRUE(s.refused());
        EXPECT_EQ(opened, 0);
        EXPECT_EQ(ended, 1);
        EXPECT_EQ(world.backend.writes, 0) << r.args; // no port known: nothing saved
    }
}

TEST_F(StartupTest, ParadigmLinkUsesItsOwnKey) {
    w.backend.putString(Hive::LocalMachine, "SOFTWARE\\Corvane\\H\\modules\\Paradigm Link", "COM", "4");
    startup.start(QStringLiteral("H|1|0|84"));
    EXPECT_EQ(w.state.sRegkey, QStringLiteral("Paradigm Link"));
    EXPECT_EQ(w.state.iComm, 4);
}

TEST_F(StartupTest, ImportDirAndDescription) {
    w.backend.putString(Hive::LocalMachine, kRoot, "ImportDir", "/data/import");
    w.backend.putString(Hive::CurrentUser, kRoot, "ImportDir", "  ");
    w.backend.putString(Hive::LocalMachine, kModel, "Desc", "  My Logic ");
    startup.start(QStringLiteral(" H |17|0|64"));
    EXPECT_EQ(w.state.sImportDir, QStringLiteral("/data/import/"));
    EXPECT_EQ(w.state.sDriverName, QStringLiteral("My Logic"));
    EXPECT_EQ(w.state.sRegkey, QStringLiteral("BD Logic"));

    test::FakeWorld user;
    user.backend.putString(Hive::LocalMachine, kRoot, "ImportDir", "/machine");
    user.backend.putString(Hive::CurrentUser, kRoot, "ImportDir", "/user/");
    Startup s(user.services, {}, {});
    s.start(QStringLiteral("H|17|0|64"));
    EXPECT_EQ(user.state.sImportDir, QStringLiteral("/user/"));

    test::FakeWorld none;
    Startup n(none.services, {}, {});
    n.start(QStringLiteral("H|17|0|64"));
    EXPECT_EQ(none.state.sImportDir, none.services.programDir + u'/');
}

TEST_F(StartupTest, LanguageLibraryGivesTheTitle) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(test::WriteBytes(dir.filePath(QStringLiteral("Test.lng")), "1200=Import from %1\n"));
    const test::ScopedEnv env("CORVANE_LANGUAGE_PATH", dir.path().toUtf8());
    w.backend.putString(Hive::CurrentUser, kRoot, "LanguageDLL", " Test ");
    startup.start(QStringLiteral("H|17|0|64"));
    ASSERT_NE(w.services.texts(), nullptr);
    EXPECT_EQ(w.state.appTitle, QStringLiteral("Import from BD Logic"));

    test::FakeWorld without;
    Startup s(without.services, {}, {});
    s.start(QStringLiteral("H|17|0|64"));
    EXPECT_EQ(without.services.texts(), nullptr);
    EXPECT_TRUE(without.state.appTitle.isEmpty());
}

TEST(ParseCommandLine, NumericFieldsThatAreNotNumbersReadAsZero) {
    const CommandLine cl = ParseCommandLine(QStringLiteral("H|x|3.5|64|extra"));
    EXPECT_EQ(cl.patientId, 0);
    EXPECT_EQ(cl.comPort, 4);
    EXPECT_EQ(cl.modelCode, 64);
    EXPECT_EQ(ParseCommandLine(QStringLiteral("H|99999999999|70000|64")).patientId, 0);
    EXPECT_EQ(ParseCommandLine(QStringLiteral("H|99999999999|70000|64")).comPort, 0);
}

} // namespace
} // namespace bdlogic
