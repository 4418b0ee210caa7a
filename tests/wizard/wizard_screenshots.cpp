// Screenshots of every wizard page: runs the real start-up over the platform registry and language packs,
// with the meter work scripted and time simulated, and saves each page as OUTDIR/PREFIX-NN-page.png.
// FONT_POINTS plays a large system font. Usage: wizard_screenshots OUTDIR PREFIX [MODEL_CODE [FONT_POINTS]]
#include "fake_import_steps.h"
#include "memory/frm_setup_bdlogic.h"
#include "memory/glucose_decoder.h"
#include "memory/marker_decoder.h"
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
#include <memory>

namespace bdlogic {
namespace {

class Shooter {
public:
    Shooter(QString dir, QString prefix) : dir_(std::move(dir)), prefix_(std::move(prefix)) {}
    void operator()(QWidget& window, const QString& page) {
        QApplication::processEvents();
        const QString file = QDir(dir_).filePath(
            QStringLiteral("%1-%2-%3.png").arg(prefix_).arg(++n_, 2, 10, QChar(u'0')).arg(page));
        if (!window.grab().save(file))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        else
            std::printf("%s\n", qPrintable(file));
    }

private:
    QString dir_;
    QString prefix_;
    int n_ = 0;
};

// The records of one of the simulator's sample memories, decoded as a download decodes them, with the markers
// P1..P4 as insulin, meal, exercise and medicines.
MeterRecords SampleRecords(const QString& name) {
    QFile file(QStringLiteral(BDLOGIC_SOURCE_DIR "/tools/meter_sim/samples/") + name);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    QStringList glucose;
    QStringList markers;
    QStringList* section = nullptr;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.startsWith(QStringLiteral("[glucose")))
            section = &glucose;
        else if (line.startsWith(QStringLiteral("[marker")))
            section = &markers;
        else if (line.startsWith(u'['))
            section = nullptr;
        else if (section && !line.isEmpty() && !line.startsWith(u'#'))
            *section << line;
    }
    MeterRecords records;
    records.glucose.resize(501);
    records.insulin.resize(501);
    DecodeGlucose(glucose.join(QStringLiteral("\r\n")), {64, QStringLiteral("!!!"), std::nullopt}, records);
    MarkerTable table;
    for (std::int16_t k = 0; k < 4; ++k)
        table[static_cast<std::size_t>(k)].dataType = k;
    DecodeMarkers(markers.join(QStringLiteral("\r\n")), table, 64, records);
    return records;
}

template <typename T> T* Find(QWidget* window, const char* name) {
    return window->findChild<T*>(QLatin1String(name));
}

int Run(const QString& outDir, const QString& prefix, const QString& model) {
    auto backend = CreatePlatformRegistry();
    Registry registry(*backend);
    test::FakeEventPump pump;
    test::RecordingMessageBox messages;
    test::RecordingStatusLine status;
    MainState state;
    Services services{registry,
                      pump,
                      messages,
                      status,
                      state,
                      QCoreApplication::applicationDirPath(),
                      QStringLiteral("bdlogic"),
                      nullptr};
    Shooter shoot(outDir, prefix);

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

    shoot(w, QStringLiteral("intro"));
    // The set-up page: one marker as a meal, to show its unit; then OK.
    pump.at(pump.now() + 100, [&] {
        if (auto* meal = Find<QComboBox>(w.picSetup(), "cbDataType_1")) meal->setCurrentIndex(1);
        shoot(w, QStringLiteral("setup"));
        if (auto* ok = Find<QPushButton>(w.picSetup(), "cmdNext")) ok->click();
    });
    if (auto* setup = Find<QPushButton>(&w, "cmdSetup"); setup && setup->isVisible()) {
        setup->click();
        shoot(w, QStringLiteral("intro-after-setup"));
    }

    Find<QPushButton>(&w, "cmdNext")->click();
    shoot(w, QStringLiteral("ports"));
    Find<QPushButton>(&w, "cmdNext")->click();
    shoot(w, QStringLiteral("guide"));

    steps.duringConnect = [&] { shoot(w, QStringLiteral("connecting")); };
    steps.duringRead = [&] {
        state.sMeterID = QStringLiteral("LG2-004711");
        w.wizard().setAnimate(true);
        w.showStep(QStringLiteral("Reading blood glucose values ...\r\nEntries read: 12"));
        auto* timer = Find<QTimer>(&w, "Timer1");
        for (int i = 0; i < 3; ++i)
            QMetaObject::invokeMethod(timer, "timeout");
        shoot(w, QStringLiteral("download"));
        w.wizard().setAnimate(false);
    };
    Find<QPushButton>(&w, "cmdNext")->click();
    shoot(w, QStringLiteral("result"));

    // The port page once more, with a USB cable recorded.
    registry.WriteRegString(Hive::LocalMachine, state.modelKey(), QStringLiteral("USBSerial"),
                            QStringLiteral("1"));
    wizard->Unload();
    wizard.reset();
    state.iComm = 2;
    openWizard();
    Find<QPushButton>(wizard.get(), "cmdNext")->click();
    shoot(*wizard, QStringLiteral("ports-usb"));
    wizard->Unload();
    for (const auto& m : messages.shown)
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
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
    const QString model = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("64");
    if (argc > 4) {
        QFont font = QApplication::font();
        font.setPointSizeF(QString::fromLocal8Bit(argv[4]).toDouble());
        QApplication::setFont(font);
    }
    return bdlogic::Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), model);
}
