// Screenshots of every wizard page: runs the real start-up over the platform registry and language packs,
// with the meter work scripted and time simulated, and saves each page as OUTDIR/PREFIX-NN-page.png.
// FONT_POINTS plays a large system font. Usage: wizard_screenshots OUTDIR PREFIX [MODEL_CODE [FONT_POINTS]]
#include "decoded_records.h"
#include "fake_import_steps.h"
#include "memory/frm_setup_bdlogic.h"
#include "memory/meter_read.h"
#include "startup/frm_main.h"
#include "startup/registry/platform_registry.h"
#include "startup/startup.h"
#include "support/fakes.h"
#include "wizard/ziv_uvivodu.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace bdlogic {
namespace {

// The records of one of the simulator's sample memories, decoded as a download decodes them.
MeterRecords SampleRecords(const QString& name) {
    QFile file(QStringLiteral(BDLOGIC_SOURCE_DIR "/tools/meter_sim/samples/") + name);
    file.open(QIODevice::ReadOnly);
    return test::DecodedRecords(QString::fromLatin1(file.readAll()).split(u'\n'));
}

// Presses the button `name` of `window` (or of the set-up shown in it).
void Click(QWidget* window, const char* name) {
    window->findChild<QPushButton*>(QLatin1String(name))->click();
}

int Run(const QString& outDir, const QString& prefix, const QString& model) {
    auto backend = CreatePlatformRegistry();
    Registry registry(*backend);
    test::FakeEventPump pump;
    test::RecordingMessageBox messages;
    test::RecordingStatusLine status;
    MainState state;
    const QString dir = QCoreApplication::applicationDirPath();
    Services services{registry, pump, messages, status, state, dir, QStringLiteral("bdlogic"), nullptr};
    int shots = 0;
    const auto shoot = [&](QWidget& window, const char* page) {
        QApplication::processEvents();
        const QString file = QDir(outDir).filePath(
            QStringLiteral("%1-%2-%3.png").arg(prefix).arg(++shots, 2, 10, QChar(u'0')).arg(page));
        std::fprintf(stderr, window.grab().save(file) ? "%s\n" : "cannot write %s\n", qPrintable(file));
    };

    // A BD Logic in mg/dl with LO, HI and control tests; the Paradigm Link in mmol/L with all four markers.
    test::FakeImportSteps steps;
    steps.records = SampleRecords(model == QStringLiteral("84") ? QStringLiteral("markers_mmol.mem")
                                                                : QStringLiteral("month_mgdl.mem"));
    steps.produced = RecordCount(steps.records);

    FrmMain frmMain(services, [&] { return std::make_unique<FrmSetupBDlogic>(services); });
    std::unique_ptr<ZivUVIvodu> wizard;
    auto openWizard = [&] {
        frmMain.showTitle(state.appTitle);
        wizard = std::make_unique<ZivUVIvodu>(
            services, steps,
            ZivUVIvodu::Hooks{
                [](bool) {}, [&](QWidget* container) { frmMain.CallSetup(container); }, {}, {}});
        wizard->Go();
    };
    Startup startup(services, openWizard, [] {});
    startup.start(QStringLiteral("H|17|0|") + model);
    if (!wizard) return 1;
    ZivUVIvodu& w = *wizard;

    shoot(w, "intro");
    // The set-up page: one marker as a meal, to show its unit; then OK.
    pump.at(pump.now() + 100, [&] {
        w.picSetup()->findChild<QComboBox*>(QStringLiteral("cbDataType_1"))->setCurrentIndex(1);
        shoot(w, "setup");
        Click(w.picSetup(), "cmdNext");
    });
    if (w.findChild<QWidget*>(QStringLiteral("cmdSetup"))->isVisible()) {
        Click(&w, "cmdSetup");
        shoot(w, "intro-after-setup");
    }
    steps.duringConnect = [&] { shoot(w, "connecting"); };
    steps.duringRead = [&] {
        state.sMeterID = QStringLiteral("LG2-004711");
        w.wizard().setAnimate(true);
        w.showStep(QStringLiteral("Reading blood glucose values ...\r\nEntries read: 12"));
        for (int i = 0; i < 3; ++i)
            QMetaObject::invokeMethod(w.findChild<QTimer*>(QStringLiteral("Timer1")), "timeout");
        shoot(w, "download");
        w.wizard().setAnimate(false);
    };
    for (const char* page : {"ports", "guide", "result"}) {
        Click(&w, "cmdNext");
        shoot(w, page);
    }

    // The port page once more, with a USB cable recorded.
    registry.WriteRegString(Hive::LocalMachine, state.modelKey(), QStringLiteral("USBSerial"),
                            QStringLiteral("1"));
    wizard->Unload();
    state.iComm = 2;
    openWizard();
    Click(wizard.get(), "cmdNext");
    shoot(*wizard, "ports-usb");
    wizard->Unload();
    return 0;
}

} // namespace
} // namespace bdlogic

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("bdlogic"));
    if (argc < 3) {
        std::fprintf(stderr, "usage: wizard_screenshots OUTDIR PREFIX [MODEL_CODE [FONT_POINTS]]\n");
        return 2;
    }
    if (argc > 4) {
        QFont font = QApplication::font();
        font.setPointSizeF(QString::fromLocal8Bit(argv[4]).toDouble());
        QApplication::setFont(font);
    }
    return bdlogic::Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                        QString::fromLocal8Bit(argc > 3 ? argv[3] : "64"));
}
