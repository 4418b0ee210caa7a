#include "run_batch_mode.h"

#include "startup/registry/platform_registry.h"
#include "startup/qt_event_pump.h"
#include "startup/startup.h"
#include "startup/stream_notice.h"
#include "wizard/batch_run.h"
#include "wizard/meter_import_steps.h"
#include "wizard/readings_text.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>
#include <random>

namespace bdlogic {

int RunBatchMode(const QString& arguments) {
    const auto backend = CreatePlatformRegistry();
    Registry registry(*backend);
    QtEventPump pump;
    StreamMessageBox messages(stderr);
    StreamStatusLine status(stderr);
    MainState state;
    Services services{registry, pump, messages, status, state, QCoreApplication::applicationDirPath(),
                      QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(), nullptr};

    int exitStatus = kBatchRefused;
    ExportedFile exported;
    std::unique_ptr<Startup> startup;
    startup = std::make_unique<Startup>(
        services,
        [&] {
            MeterImportSteps steps(services);
            QString lastGuide;
            Wizard wizard(services, steps,
                          {[&] {
                               // The step guide is the wizard's status line too.
                               const Caption& guide = wizard.screen().lblStepGuide;
                               if (guide.set && guide.text != lastGuide) {
                                   lastGuide = guide.text;
                                   status.showStep(guide.text);
                               }
                           },
                           [&](bool end) { startup->iFinished(end); }, {}, [] { return 0; }, {}});
            steps.setAnimate([&](bool on) { wizard.setAnimate(on); });
            exitStatus = RunBatch(wizard, exported);
            // In place of the result page's chart: the readings' days, number and mean.
            if (exported.written) {
                const DownloadReadings readings(wizard.records());
                if (const auto summary = ReadingsSummary(readings, services.texts(), QLocale()))
                    status.showStep(*summary);
            }
            // The introduction page's warning is the only word a blocked batch run has for its user.
            const Caption& setup = wizard.screen().lblSetuptext;
            if (exitStatus == kBatchSetupFirst && setup.set) status.showStep(setup.text);
            if ((exitStatus == kBatchIncomplete || exitStatus == kBatchNoRecords) && !wizard.lastDownload().complete())
                status.showStep(DownloadShortfall(wizard.lastDownload()));
            wizard.Unload();
        },
        [] {});
    startup->start(arguments);
    if (exitStatus == kBatchWritten || exitStatus == kBatchIncomplete)
        std::printf("%s\n", exported.path.toLocal8Bit().constData());
    if (exitStatus == kBatchNotWritten)
        status.showStep(QStringLiteral("The import file %1 could not be written: %2")
                            .arg(exported.path, exported.failure));
    return exitStatus;
}

} // namespace bdlogic
