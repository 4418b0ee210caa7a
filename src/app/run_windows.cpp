#include "run_windows.h"

#include "importfile/widget_busy_cursor.h"
#include "memory/frm_setup_bdlogic.h"
#include "startup/frm_main.h"
#include "startup/qt_event_pump.h"
#include "startup/registry/platform_registry.h"
#include "startup/startup.h"
#include "startup/widget_message_box.h"
#include "wizard/label_status_line.h"
#include "wizard/meter_import_steps.h"
#include "wizard/ziv_uvivodu.h"

#include <QApplication>
#include <QFileInfo>

#include <memory>

namespace bdlogic {

int RunWindows(const QString& arguments) {
    const auto backend = CreatePlatformRegistry();
    Registry registry(*backend);
    QtEventPump pump;
    MainState state;
    WidgetMessageBox messages(state);
    LabelStatusLine status;
    WidgetBusyCursor busyCursor;
    Services services{registry, pump, messages, status, state, QCoreApplication::applicationDirPath(),
                      QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(), nullptr};

    FrmMain frmMain(services, [&] { return std::make_unique<FrmSetupBDlogic>(services); });
    std::unique_ptr<MeterImportSteps> steps;
    std::unique_ptr<ZivUVIvodu> wizard;
    std::unique_ptr<Startup> startup;
    startup = std::make_unique<Startup>(
        services,
        [&] {
            // The application title goes to the message boxes that have no title of their own (WidgetMessageBox),
            // not to Qt's display name, which Qt would append to every window's title.
            frmMain.showTitle(state.appTitle);
            steps = std::make_unique<MeterImportSteps>(services);
            steps->setBusyCursor(&busyCursor);
            ZivUVIvodu::Hooks hooks;
            hooks.iFinished = [&](bool end) { startup->iFinished(end); };
            hooks.callSetup = [&](QWidget* container) { frmMain.CallSetup(container); };
            wizard = std::make_unique<ZivUVIvodu>(services, *steps, hooks);
            status.attach(wizard.get());
            steps->setAnimate([&](bool on) { wizard->wizard().setAnimate(on); });
            wizard->Go();
        },
        [&] {
            // Every way out: the windows go, the port is closed, and the event loops (also one inside a wait of
            // the download) return.
            if (wizard) wizard->Unload();
            frmMain.close();
            QCoreApplication::exit(0);
        });
    startup->start(arguments);
    if (startup->ended()) return 0;
    return QApplication::exec();
}

} // namespace bdlogic
