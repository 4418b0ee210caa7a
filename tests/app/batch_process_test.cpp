// The program as the host starts it: the command line, the registry files it reads and writes, the simulator as
// the meter, and the exit statuses a caller relies on.
#include "../meterlink/sim_process.h"
#include "support/test_files.h"

#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace bdlogic::test {
namespace {

struct Outcome {
    int status = -1;
    QByteArray out, err;
};

// Listens as the first free X display from :7391 up (xcb tries the abstract socket first) and returns its name,
// so that runs side by side never share one.
QByteArray ListenAsDisplay(QLocalServer& server) {
    server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    for (int n = 7391; n < 7491; ++n)
        if (server.listen(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) return ':' + QByteArray::number(n);
    return {};
}

class BatchProcess : public testing::Test {
protected:
    BatchProcess() {
        env.insert(QStringLiteral("CORVANE_REGISTRY_DIR"), dir.path());
        env.insert(QStringLiteral("CORVANE_LANGUAGE_PATH"), QStringLiteral(BDLOGIC_BUILD_DIR "/lang"));
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    // The status is -1 when the program crashed (an abort's signal 6 must not pass for status 6).
    Outcome run(const QStringList& arguments) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(BDLOGIC_BUILD_DIR "/bdlogic"), arguments);
        EXPECT_TRUE(p.waitForFinished(30000));
        const int status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return {status, p.readAllStandardOutput(), p.readAllStandardError()};
    }

    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString hive = path("HKEY_LOCAL_MACHINE.reg");
};

// Without a display (or with one that never answers) the windows end with status 6 and name --batch; a refused
// command line ends with status 2 and saves nothing; a hive in the way is named.
TEST_F(BatchProcess, RunsThatEndBeforeAnyMeterSayWhyInOneLine) {
    QLocalServer silent, gone; // an X server that takes the connection and never answers; one no longer there
    const QByteArray silentDisplay = ListenAsDisplay(silent), goneDisplay = ListenAsDisplay(gone);
    ASSERT_FALSE(silentDisplay.isEmpty() || goneDisplay.isEmpty());
    gone.close();
    const struct {
        QStringList arguments;
        QByteArray display;
        const char* platform;
        int status;
        QByteArray line; // on standard error, all of it (a part of it for status 6)
    } rows[] = {
        {{"H|17|3|64"}, goneDisplay, nullptr, 6, "--batch"}, // nothing at the display
        {{"H|17|3|64"}, {}, "xcb", 6, "--batch"},
        {{"H|17|3|64"}, goneDisplay, "nosuch", 6, "--batch"},
        {{"H|17|3|64"}, silentDisplay, nullptr, 6, "--batch"},
        {{"--batch", "H|17"}, {}, nullptr, 2, "MeterID required !\n"},
        {{"--batch", "H|17|0|65"}, {}, nullptr, 2, "Illegal Driver Call\n"},
        {{"--batch", "H|42|16|64"}, {}, nullptr, 1,
         hive.toUtf8() + ": is a directory; read as empty, left as it is\n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line.toStdString());
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QLatin1String(name));
        if (!r.display.isEmpty()) env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(r.display));
        if (r.platform) env.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(r.platform));
        if (r.status == 1) QDir().mkpath(hive);
        const Outcome result = run(r.arguments);
        EXPECT_EQ(result.status, r.status);
        EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
        EXPECT_TRUE(r.status == 6 ? result.err.contains(r.line) : result.err == r.line) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_FALSE(QFileInfo(hive).isFile()); // nothing was saved
    }
}

TEST_F(BatchProcess, EveryEndOfAnImportHasItsStatusAndLine) {
    if (!PseudoTerminalsAvailable()) GTEST_SKIP() << "no pseudo-terminals";
    const QString month = QStringLiteral(BDLOGIC_SOURCE_DIR "/tools/meter_sim/samples/month_mgdl.mem");
    const struct {
        QStringList sim; // after --memory
        int status;
        QByteArray line; // on standard error
        QByteArray modelKeys = {};
        const char* importDir = "import";
    } rows[] = {
        {{month}, 0, "Blood glucose readings 16 Jan 2024 – 15 Feb 2024: 116, mean 140 mg/dl"},
        {{month, "--bad-crc", "85:3"}, 7, "Download incomplete: glucose memory ended after 5 of 9 blocks (the next "
                                          "block failed its check three times)"},
        {{month, "--mute-from", "93"}, 7, "Download incomplete: marker memory ended after 3 of 9 blocks (the meter "
                                          "fell silent); information block not read"},
        {{month, "--drop", "84"}, 7, "Download incomplete: glucose memory ended after 4 of 9 blocks (the port "
                                     "vanished); marker memory not read; information block not read"},
        {{month, "--silent"}, 1, "The BD Logic meter on COM3 does not answer. / Please check the cable and the port."},
        {{QStringLiteral(BDLOGIC_SOURCE_DIR "/tools/meter_sim/samples/empty.mem")}, 4,
         "Requesting marker data P1-P4 ... / Please wait and do not disconnect the meter."},
        {{month}, 3, "Please complete the SETTINGS before the first import!",
         "\"Configure_Meter\"=\"1\"\r\n\"DoInit\"=\"1\"\r\n"},
        {{month}, 5, ".00042 could not be written: No such file or directory", {}, "gone"},
    };
    const QString settings = QStringLiteral(
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\r\n"
        "\"%1\"=\"COM3\"\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H]\r\n\"ImportDir\"=\"%2\"\r\n"
        "\"LanguageDLL\"=\"English\"\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H\\modules\\BD Logic]\r\n");
    QDir().mkpath(path("import"));
    SimProcess sim;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.line.toStdString());
        const QString device = sim.start(QStringList{QStringLiteral("--memory")} + r.sim);
        ASSERT_FALSE(device.isEmpty()) << sim.errors().toStdString();
        const QString importDir = path(r.importDir) + u'/';
        ASSERT_TRUE(WriteBytes(hive, settings.arg(device, importDir).toUtf8() + r.modelKeys));
        const Outcome result = run({QStringLiteral("--batch"), QStringLiteral("H|42|3|64")});
        EXPECT_EQ(result.status, r.status) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(r.line + '\n')) << result.err.toStdString();
        const QString file = QString::fromLocal8Bit(result.out.trimmed());
        if (r.status == 0 || r.status == 7) { // the path of what was read, as the last line
            EXPECT_TRUE(file.startsWith(importDir) && file.endsWith(QStringLiteral(".00042"))) << file.toStdString();
            EXPECT_TRUE(ReadBytes(file).contains("[GLUCOSE]\r\n"));
            QFile::remove(file);
        } else {
            EXPECT_TRUE(result.out.isEmpty());
            EXPECT_EQ(result.err.contains("The import file " + importDir.toUtf8()), r.status == 5);
        }
        EXPECT_TRUE(QDir(path("import")).isEmpty());
        EXPECT_TRUE(ReadBytes(hive).contains("\"COM\"=\"3\"")); // the port in use is saved at the end
        sim.stop();
    }
}

} // namespace
} // namespace bdlogic::test
