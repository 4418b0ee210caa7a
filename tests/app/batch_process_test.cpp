// The program as the host starts it, in batch mode: the command line, the registry files it reads and writes,
// the simulator as the meter, and the exit statuses a caller relies on.
#include "../meterlink/sim_process.h"
#include "support/test_files.h"

#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

const QString kProgram = QStringLiteral(BDLOGIC_BUILD_DIR "/bdlogic");
const QString kSamples = QStringLiteral(BDLOGIC_SOURCE_DIR "/tools/meter_sim/samples/");
const QByteArray kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
const QByteArray kModelKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H\\modules\\BD Logic]";

struct Outcome {
    int status = -1;
    QByteArray out, err;
};

class BatchProcess : public testing::Test {
protected:
    BatchProcess() {
        env.insert(QStringLiteral("CORVANE_REGISTRY_DIR"), dir.path());
        env.insert(QStringLiteral("CORVANE_LANGUAGE_PATH"), QStringLiteral(BDLOGIC_BUILD_DIR "/lang"));
    }
    QString machineHive() const { return dir.filePath(QStringLiteral("HKEY_LOCAL_MACHINE.reg")); }

    // The status is -1 when the program crashed (an abort's signal 6 must not pass for status 6).
    Outcome run(const QString& arguments, bool batch = true) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(kProgram, batch ? QStringList{QStringLiteral("--batch"), arguments} : QStringList{arguments});
        EXPECT_TRUE(p.waitForFinished(30000));
        const int status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return {status, p.readAllStandardOutput(), p.readAllStandardError()};
    }

    // A machine hive that maps COM3 to the simulator serving `memory`, with the import directory and English.
    void meterOnCom3(const QStringList& simArguments, const QByteArray& extraKeys = {}) {
        const QString device = sim.start(simArguments);
        ASSERT_FALSE(device.isEmpty()) << sim.errors().toStdString();
        ASSERT_TRUE(test::WriteBytes(
            machineHive(),
            kHeader + "[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\r\n\"" + device.toUtf8() +
                "\"=\"COM3\"\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\r\n\"ImportDir\"=\"" +
                dir.filePath(QStringLiteral("import")).toUtf8() +
                "\"\r\n\"LanguageDLL\"=\"English\"\r\n\r\n" + extraKeys));
        QDir(dir.path()).mkdir(QStringLiteral("import"));
    }

    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    test::SimProcess sim;
};

TEST_F(BatchProcess, WithoutADisplayTheWindowsEndWithStatus6AndNameBatch) {
    QLocalServer silent; // an X server that takes the connection and never answers
    silent.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    ASSERT_TRUE(silent.listen(QStringLiteral("/tmp/.X11-unix/X7391")));
    const struct {
        const char* name;
        const char* display;
        const char* platform;
    } rows[] = {{"nothing at the display", ":7392", nullptr},
                {"no display for xcb", nullptr, "xcb"},
                {"no such platform plugin", ":7392", "nosuch"},
                {"a display that does not answer", ":7391", nullptr}};
    for (const auto& r : rows) {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        if (r.display) env.insert(QStringLiteral("DISPLAY"), QLatin1String(r.display));
        if (r.platform) env.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(r.platform));
        const Outcome result = run(QStringLiteral("H|17|3|64"), false);
        EXPECT_EQ(result.status, 6) << r.name;
        EXPECT_EQ(result.err.count('\n'), 1) << r.name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("--batch")) << r.name;
        EXPECT_TRUE(result.out.isEmpty()) << r.name;
    }
    EXPECT_FALSE(QFile::exists(machineHive())); // nothing was saved
}

TEST_F(BatchProcess, RefusedCommandLinesEndWithStatus2AndWriteNothing) {
    const struct {
        const char* arguments;
        const char* message;
    } rows[] = {{"H|17", "MeterID required !"}, {"H|17|0|65", "Illegal Driver Call"}};
    for (const auto& r : rows) {
        const Outcome result = run(QString::fromLatin1(r.arguments));
        EXPECT_EQ(result.status, 2) << r.arguments;
        EXPECT_EQ(result.err.trimmed(), QByteArray(r.message)) << r.arguments;
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_FALSE(QFile::exists(machineHive()));
    }
}

TEST_F(BatchProcess, PortFromTheCommandLineIsSavedAndOtherSettingsKept) {
    const QByteArray before =
        kHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\r\n\"Other\"=dword:0000002a\r\n\r\n" +
        kModelKey + "\r\n\"Desc\"=\"BD Logic\"\r\n\"Extra\"=hex:01,02\r\n\r\n";
    ASSERT_TRUE(test::WriteBytes(machineHive(), before));
    run(QStringLiteral("H|17|5|64")); // COM5 is no device here: the port test fails, the port is saved anyway
    const QByteArray after = test::ReadBytes(machineHive());
    EXPECT_TRUE(
        after.contains(kModelKey + "\r\n\"Desc\"=\"BD Logic\"\r\n\"Extra\"=hex:01,02\r\n\"COM\"=\"5\"\r\n"))
        << after.toStdString();
    EXPECT_TRUE(after.contains("\"Other\"=dword:0000002a"));
}

TEST_F(BatchProcess, RememberedPortIsUsedAndWrittenBack) {
    const struct {
        const char* stored;
        const char* written;
    } rows[] = {{"\"COM\"=\"7\"", "\"COM\"=\"7\""}, {"\"COM\"=dword:00000009", "\"COM\"=\"9\""}};
    for (const auto& r : rows) {
        ASSERT_TRUE(test::WriteBytes(machineHive(), kHeader + kModelKey + "\r\n" + r.stored + "\r\n"));
        run(QStringLiteral("H|17|0|64"));
        EXPECT_TRUE(test::ReadBytes(machineHive()).contains(r.written)) << r.stored;
    }
}

TEST_F(BatchProcess, AHiveThatCannotBeReadIsNamedOnceOnStandardError) {
    ASSERT_TRUE(QDir().mkpath(machineHive()));
    const Outcome result = run(QStringLiteral("H|42|16|64"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, machineHive().toUtf8() + ": is a directory; read as empty, left as it is\n");
}

TEST_F(BatchProcess, ImportWritesTheFileAndPrintsItsPath) {
    if (!test::PseudoTerminalsAvailable()) GTEST_SKIP() << "no pseudo-terminals";
    meterOnCom3({QStringLiteral("--memory"), kSamples + QStringLiteral("month_mgdl.mem")});
    const Outcome result = run(QStringLiteral("H|42|3|64"));
    EXPECT_EQ(result.status, 0) << result.err.toStdString();
    const QString path = QString::fromLocal8Bit(result.out.trimmed().split('\n').last());
    EXPECT_TRUE(path.startsWith(dir.filePath(QStringLiteral("import/")))) << path.toStdString();
    EXPECT_TRUE(path.endsWith(QStringLiteral(".00042")));
    EXPECT_TRUE(test::ReadBytes(path).contains("[GLUCOSE]\r\n"));
    EXPECT_TRUE(result.err.contains("attempt 1")) << result.err.toStdString(); // status lines go to stderr
    // In place of the result page's chart: days, number and mean of the readings (control tests left out).
    EXPECT_TRUE(result.err.contains("\nBlood glucose readings 16 Jan 2024 – 15 Feb 2024: 116, mean 140 mg/dl\n"))
        << result.err.toStdString();
    EXPECT_TRUE(test::ReadBytes(machineHive()).contains("\"COM\"=\"3\""));
}

TEST_F(BatchProcess, AnIncompleteDownloadIsExportedAndEndsWithStatus7) {
    if (!test::PseudoTerminalsAvailable()) GTEST_SKIP() << "no pseudo-terminals";
    const struct {
        QStringList fault;
        QByteArray line;
    } rows[] = {
        {{QStringLiteral("--bad-crc"), QStringLiteral("85:3")},
         "Download incomplete: glucose memory ended after 5 of 9 blocks (the next block failed its check three "
         "times)"},
        {{QStringLiteral("--mute-from"), QStringLiteral("93")},
         "Download incomplete: marker memory ended after 3 of 9 blocks (the meter fell silent); information block "
         "not read"},
        {{QStringLiteral("--drop"), QStringLiteral("84")},
         "Download incomplete: glucose memory ended after 4 of 9 blocks (the port vanished); marker memory not "
         "read; information block not read"},
    };
    for (const auto& r : rows) {
        meterOnCom3(QStringList{QStringLiteral("--memory"), kSamples + QStringLiteral("month_mgdl.mem")} + r.fault);
        const Outcome result = run(QStringLiteral("H|42|3|64"));
        EXPECT_EQ(result.status, 7) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(r.line + '\n')) << result.err.toStdString();
        const QString path = QString::fromLocal8Bit(result.out.trimmed());
        EXPECT_TRUE(test::ReadBytes(path).contains("[GLUCOSE]\r\n")) << path.toStdString();
        QFile::remove(path);
        sim.stop();
    }
}

TEST_F(BatchProcess, FailuresEndWithTheirOwnStatus) {
    if (!test::PseudoTerminalsAvailable()) GTEST_SKIP() << "no pseudo-terminals";
    const struct {
        const char* name;
        QStringList sim;
        QByteArray keys;
        int status;
    } rows[] = {
        {"meter silent",
         {QStringLiteral("--memory"), kSamples + QStringLiteral("month_mgdl.mem"),
          QStringLiteral("--silent")},
         {},
         1},
        {"empty memory", {QStringLiteral("--memory"), kSamples + QStringLiteral("empty.mem")}, {}, 4},
        {"set-up first",
         {QStringLiteral("--memory"), kSamples + QStringLiteral("month_mgdl.mem")},
         kModelKey + "\r\n\"Configure_Meter\"=\"1\"\r\n\"DoInit\"=\"1\"\r\n",
         3},
    };
    for (const auto& r : rows) {
        meterOnCom3(r.sim, r.keys);
        const Outcome result = run(QStringLiteral("H|42|3|64"));
        EXPECT_EQ(result.status, r.status) << r.name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << r.name;
        EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("import"))).isEmpty()) << r.name;
        sim.stop();
    }
    // Records read, but the import directory is gone.
    meterOnCom3({QStringLiteral("--memory"), kSamples + QStringLiteral("month_mgdl.mem")});
    ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("import"))).removeRecursively());
    const Outcome notWritten = run(QStringLiteral("H|42|3|64"));
    EXPECT_EQ(notWritten.status, 5) << notWritten.err.toStdString();
    EXPECT_TRUE(notWritten.out.isEmpty());
    const QByteArray reason = notWritten.err.trimmed().split('\n').last();
    EXPECT_TRUE(reason.contains(dir.filePath(QStringLiteral("import/")).toUtf8())) << reason.toStdString();
    EXPECT_TRUE(reason.endsWith(".00042 could not be written: No such file or directory"))
        << reason.toStdString();
    sim.stop();
    // A port nobody serves fails the port test.
    ASSERT_TRUE(test::WriteBytes(machineHive(), kHeader));
    EXPECT_EQ(run(QStringLiteral("H|42|16|64")).status, 1);
}

} // namespace
} // namespace bdlogic
