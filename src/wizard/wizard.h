// The import wizard's logic: pages and flow, port choice and test, the import step and the result page. It drives
// the wizard window and batch mode alike through WizardScreen and the Services.
#pragma once

#include "import_steps.h"
#include "startup/services.h"
#include "wizard_screen.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace bdlogic {

// How the last import step ended; batch mode turns it into the exit status.
enum class ImportOutcome { None, PortNotChosen, PortTestFailed, NoAnswer, NoRecords, Exported, Cancelled };

class Wizard {
public:
    struct Hooks {
        std::function<void()> refresh;        // repaint now: the screen changed in the middle of a handler
        std::function<void(bool)> iFinished;  // frmMain's iFinished
        std::function<void()> callSetup;      // frmMain's CallSetup: runs the marker set-up, returns when closed
        std::function<int()> random;          // 0..255 for the animation line
        std::function<void(const QString&)> startUsbCheck; // starts usbcheck with these parameters, if present
    };

    Wizard(Services& services, ImportSteps& steps, Hooks hooks);

    void Go();
    void cmdNext_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void cmdSetup_Click();
    void lbPorts_ItemCheck(int item) { screen_.ports.ItemCheck(item); }
    void Timer1_Timer();
    void check_usb();
    void cmdUSBInfo_Click();
    void Unload();

    void init();
    void do_step(std::int16_t& step);
    bool Check_Paramsetup();
    void display_status(const QString& txt);
    bool list_ports();
    // `refused` learns why the system refused the port's device, when it was for lack of permission.
    bool TestPort(std::int16_t port, std::int16_t force, std::optional<PermissionRefusal>* refused = nullptr);
    void setAnimate(bool on);
    bool Animate() const { return animate_; }

    const WizardScreen& screen() const { return screen_; }
    WizardScreen& screen() { return screen_; }
    std::int16_t page() const { return page_; }
    MeterRecords& records() { return records_; }
    ImportOutcome lastOutcome() const { return outcome_; }
    const ExportedFile& lastExport() const { return exported_; }
    // How far the last download got; the wizard shows nothing of it, batch mode reports a shortfall.
    const DownloadReport& lastDownload() const { return download_; }

    static QString HelpText();

private:
    void export_data();
    void showPage(WizardPage page);
    void refresh();

    Services& s_;
    ImportSteps& steps_;
    Hooks hooks_;
    WizardScreen screen_;
    std::int16_t page_ = 0;
    bool animate_ = false;
    MeterRecords records_;
    ImportOutcome outcome_ = ImportOutcome::None;
    ExportedFile exported_;
    DownloadReport download_;
};

} // namespace bdlogic
