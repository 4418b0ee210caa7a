// The windowed program from meter to import file: the simulator serves a sample memory on a pseudo-terminal,
// the user clicks Next through the wizard, and the file must equal the expected one byte for byte but for the
// moment of the import. BDLOGIC_UPDATE_GOLDEN=1 rewrites the expected file after a deliberate change (read
// the diff).
#include "../meterlink/sim_process.h"
#include "app/run_windows.h"
#include "support/scoped_env.h"
#include "support/test_files.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <private/qguiapplication_p.h>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

const QString kGolden = QStringLiteral(BDLOGIC_SOURCE_DIR "/tests/wizard/golden/markers_mmol.import");

// A key of a hive file with its text values, each given as "name=value".
QByteArray Key(const QByteArray& path, const QList<QByteArray>& values) {
    QByteArray text = "\n[" + path + "]\n";
    for (const QByteArray& v : values)
        text += '"' + v.left(v.indexOf('=')) + "\"=\"" + v.mid(v.indexOf('=') + 1) + "\"\n";
    return text;
}

TEST(WindowedImport, MmolMemoryWithAllFourMarkerCategories) {
    if (!test::PseudoTerminalsAvailable()) GTEST_SKIP() << "no pseudo-terminals on this system";
    test::SimProcess sim;
    const QString device =
        sim.start({QStringLiteral("--memory"),
                   QStringLiteral(BDLOGIC_SOURCE_DIR "/tools/meter_sim/samples/markers_mmol.mem")});
    ASSERT_FALSE(device.isEmpty()) << sim.errors().toStdString();
    QTemporaryDir dir;
    const QDir import(dir.filePath(QStringLiteral("import")));
    ASSERT_TRUE(import.mkpath(QStringLiteral(".")));
    const QByteArray header = "Windows Registry Editor Version 5.00\n";
    ASSERT_TRUE(test::WriteBytes(
        dir.filePath(QStringLiteral("HKEY_LOCAL_MACHINE.reg")),
        header + Key("HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM", {device.toUtf8() + "=COM3"}) +
            Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvane\\H",
                {"ImportDir=" + import.path().toUtf8(), "LanguageDLL=English"})));
    ASSERT_TRUE(test::WriteBytes(
        dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg")),
        header + Key("HKEY_CURRENT_USER\\SOFTWARE\\Corvane\\H\\modules\\BD Logic",
                     {"Type0=0", "Type_Insulin0=13", "Desc0=Humalog", "Type1=1", "Desc1=Meal", "Type2=2",
                      "Desc2=Cycling", "Type3=3", "Desc3=Metformin", "Marker=Marked on the meter"})));
    const test::ScopedEnv registry("CORVANE_REGISTRY_DIR", dir.path().toUtf8());
    const test::ScopedEnv language("CORVANE_LANGUAGE_PATH", BDLOGIC_BUILD_DIR "/lang");

    // Watched all along, also inside the download's waits: how many wait cursors are stacked at once, and any
    // message box (closed, or the run would wait for it).
    qsizetype cursors = 0;
    QStringList messages;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        cursors = std::max(cursors, QGuiApplicationPrivate::instance()->cursor_list.size());
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages << box->text();
            box->reject();
        }
    });
    watch.start(0);
    // Next on the introduction, the port page, the guide (the download) and the result page, which ends the
    // run.
    QTimer::singleShot(0, [] {
        for (int page = 0; page < 4; ++page) {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* next = window->findChild<QPushButton*>(QStringLiteral("cmdNext"));
                if (next && next->isVisible()) QTest::mouseClick(next, Qt::LeftButton);
            }
        }
    });
    QTimer::singleShot(30000, [] { QCoreApplication::exit(1); }); // a run that does not end fails
    EXPECT_EQ(RunWindows(QStringLiteral("H|42|3|64")), 0);
    EXPECT_EQ(messages, QStringList());
    EXPECT_EQ(cursors, 2) << "the writers' hourglass over the wizard's own";

    const QStringList files = import.entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QString written = QString::fromUtf8(test::ReadBytes(import.filePath(files[0])));
    written.replace(QRegularExpression(QStringLiteral("(Time|Date) of Import=\\d+")),
                    QStringLiteral("\\1 of Import=*"));
    if (qEnvironmentVariableIsSet("BDLOGIC_UPDATE_GOLDEN")) {
        ASSERT_TRUE(test::WriteBytes(kGolden, written.toUtf8()));
    }
    // CR shown, so that a difference in line ends is visible.
    const auto visible = [](QString text) {
        return text.replace(u'\r', QStringLiteral("\\r")).toStdString();
    };
    EXPECT_EQ(visible(written), visible(QString::fromUtf8(test::ReadBytes(kGolden))))
        << kGolden.toStdString();
}

} // namespace
} // namespace bdlogic
