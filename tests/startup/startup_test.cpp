// The start-up sequence over the registry operations: what it reads, how it reads it, and what it saves.
#include "startup/registry/registry_backends.h"
#include "startup/startup.h"
#include "support/scoped_env.h"
#include "support/services_fixture.h"
#include "support/test_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace bdlogic::test {
namespace {

constexpr Hive LM = Hive::LocalMachine;
constexpr Hive CU = Hive::CurrentUser;
const std::string kRoot = "SOFTWARE\\Corvane\\H";
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

TEST(Startup, OpensTheWizardWithTheCommandLineAndSavesThePortInUseAtEveryEnd) {
    FakeWorld w;
    int opened = 0, ended = 0;
    Startup startup(w.services, [&] { ++opened; }, [&] { ++ended; });
    startup.start(QStringLiteral("H|17|0|64"));
    EXPECT_EQ(w.state.iPatientID, 17);
    EXPECT_EQ(w.state.iUniqueImportID, 64);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(w.messages.shown.empty());
    w.state.iComm = 5;
    startup.iFinished(false);
    EXPECT_EQ(w.backend.string(LM, kModel, "COM"), "5");
    EXPECT_EQ(ended, 0);
    w.state.iComm = 6;
    startup.iFinished(true);
    EXPECT_EQ(w.backend.string(LM, kModel, "COM"), "6");
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(w.pump.stopRequested());
    // An empty text is stored as one blank, which reads back as not set.
    EXPECT_TRUE(w.registry.WriteRegString(LM, QString::fromStdString(kModel), QStringLiteral("Desc"), QString()));
    EXPECT_EQ(w.backend.string(LM, kModel, "Desc"), " ");
}

// What a refusal says and that it ends the program without saving is seen in batch mode; here, how it says it.
TEST(Startup, RefusesAnUnknownModelInAMessageBoxWithoutIconAndOpensNoWizard) {
    FakeWorld w;
    bool opened = false;
    Startup(w.services, [&] { opened = true; }, {}).start(QStringLiteral("H|17|0|abc"));
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, kMeterIdRequired);
    EXPECT_EQ(w.messages.shown[0].icon, MessageIcon::None);
    EXPECT_FALSE(opened);
}

// Values are read trimmed, a DWORD as signed decimal text; a blank, control-only or binary value keeps the default.
TEST(Startup, TakesPortImportDirectoryDescriptionAndLanguageFromTheRegistry) {
    QTemporaryDir packs;
    ASSERT_TRUE(WriteBytes(packs.filePath(QStringLiteral("Test.lng")), "1200=Import from %1\n"));
    const ScopedEnv env("CORVANE_LANGUAGE_PATH", packs.path().toUtf8());
    const std::string paradigm = "SOFTWARE\\Corvane\\H\\modules\\Paradigm Link";
    const struct {
        const char* arguments;
        std::vector<std::tuple<Hive, std::string, std::string, reg::Value>> settings;
        int port;
        const char* importDir; // the program directory when null
        const char* driver = "BD Logic";
        const char* title = "";
    } rows[] = {
        {"H|17|0|64", {}, 1, nullptr},
        {"H|17|0|64", {{LM, kModel, "COM", Sz(" 7 ")}}, 7, nullptr},
        {"H|17|0|64", {{LM, kModel, "COM", Sz("0")}}, 1, nullptr},
        {"H|17|0|64", {{LM, kModel, "COM", Sz("12x")}}, 12, nullptr},
        {"H|17|0|64", {{LM, kModel, "COM", Dword(9)}}, 9, nullptr},
        {"H|17|0|64", {{LM, kModel, "COM", Dword(0xFFFFFFFF)}, {LM, kModel, "Desc", Sz(" \r\n\t ")}}, -1, nullptr},
        {"H|17|0|64", {{LM, kModel, "COM", Raw(reg::kBinary, {'4', 0})}, {LM, kRoot, "ImportDir", Sz("%T%", 2)}}, 1,
         "%T%/"},
        {"H|17|5|64", {{LM, kModel, "COM", Sz("7")}}, 5, nullptr},
        {"H|17|0|84", {{LM, paradigm, "COM", Sz("4")}, {LM, kModel, "COM", Sz("7")}}, 4, nullptr, "Paradigm Link"},
        {" H |17|0|64", {{LM, kRoot, "ImportDir", Sz("/data/import")}, {CU, kRoot, "ImportDir", Sz("  ")},
                         {LM, kModel, "Desc", Sz("  My Logic ")}}, 1, "/data/import/", "My Logic"},
        {"H|17|0|64", {{LM, kRoot, "ImportDir", Sz("/machine")}, {CU, kRoot, "ImportDir", Sz("/user/")}}, 1, "/user/"},
        {"H|17|0|64", {{CU, kRoot, "LanguageDLL", Sz(" Test ")}}, 1, nullptr, "BD Logic", "Import from BD Logic"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &r - rows);
        FakeWorld w;
        for (const auto& [hive, key, name, value] : r.settings) {
            w.backend.createKey(hive, key, "");
            w.backend.setValue(hive, key, name, value);
        }
        Startup(w.services, {}, {}).start(QLatin1String(r.arguments));
        EXPECT_EQ(w.state.iComm, r.port);
        EXPECT_EQ(w.state.sImportDir, r.importDir ? QLatin1String(r.importDir) : w.services.programDir + u'/');
        EXPECT_EQ(w.state.sDriverName, QLatin1String(r.driver));
        EXPECT_EQ(w.state.sRegkey, QLatin1String(r.arguments).endsWith(u"84") ? "Paradigm Link" : "BD Logic");
        EXPECT_EQ(w.state.appTitle, QLatin1String(r.title));
    }
}

TEST(ParseCommandLine, NumericFieldsThatAreNotNumbersOrDoNotFitReadAsZero) {
    const CommandLine a = ParseCommandLine(QStringLiteral("H|x|3.5|64|extra"));
    const CommandLine b = ParseCommandLine(QStringLiteral("H|99999999999|70000|64"));
    EXPECT_EQ(std::tuple(a.patientId, a.comPort, a.modelCode, b.patientId, b.comPort), std::tuple(0, 4, 64, 0, 0));
}

} // namespace
} // namespace bdlogic::test
