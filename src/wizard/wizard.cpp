#include "wizard.h"

#include "importfile/profile_paths.h"
#include "startup/common_code.h"

namespace bdlogic {

namespace {
constexpr int kIntroPictureOffset = 100;  // 164 "BD Logic", 184 "Paradigm Link"
constexpr int kPortPictureOffset = 1100;  // 1164, 1184
// Texts of the language packs beyond the host library's: a port without a device (%1 = the device it would
// open), and the line after a failed port test that the system refused for lack of permission (%1 = device,
// %2 = the group that owns it).
constexpr int kNoDeviceText = 7001;
constexpr int kPermissionText = 7002;

// The number a registry text stands for, when it is one.
bool IsNonZeroNumber(const QString& text) {
    const auto n = ToDouble(text);
    return n && *n != 0;
}
} // namespace

Wizard::Wizard(Services& services, ImportSteps& steps, Hooks hooks)
    : s_(services), steps_(steps), hooks_(std::move(hooks)) {
    screen_.lblAnimate.text = QStringLiteral("01111011001");
}

QString Wizard::HelpText() {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Bitte folgen Sie den Anweisungen des Assistenten zur Datenübertragung.") + crlf + crlf +
           QStringLiteral("Über EINSTELLUNGEN können Sie festlegen, wie die im Gerät als P1-P4 erfassten Zusatzdaten "
                          "übersetzt werden sollen:") +
           crlf +
           QStringLiteral("Wenn Sie zB. unter P1 die gespritzten Insulineinheiten erfassen, wählen Sie bitte als "
                          "'Datentyp'=INSULIN und legen den zutreffenden Insulintyp sowie den Namen des Insulins (zB. "
                          "Humalog) fest.") +
           crlf + crlf +
           QStringLiteral("Alternativ können Sie auch festlegen, daß die Speicherplätze als Eingaben für Mahlzeiten "
                          "(=Broteinheiten), Sport (Dauer in Minuten) oder Medikamente (Menge) betrachtet werden "
                          "sollen.") +
           crlf + crlf +
           QStringLiteral("Für die im Messgerät markierten Messungen (*) kann ein Kommentartext hinzugefügt werden.");
}

void Wizard::refresh() {
    if (hooks_.refresh) hooks_.refresh();
}

void Wizard::showPage(WizardPage page) {
    switch (page) {
    case WizardPage::Intro: screen_.introVisible = true; break;
    case WizardPage::SelectCom: screen_.selectComVisible = true; break;
    case WizardPage::Progress: screen_.progressVisible = true; break;
    case WizardPage::Success: screen_.successVisible = true; break;
    case WizardPage::Setup: screen_.setupVisible = true; break;
    case WizardPage::None: break;
    }
    screen_.front = page;
}

void Wizard::Go() {
    init();
    check_usb();
    refresh();
    list_ports();
    page_ = 0;
    do_step(page_);
    refresh();
}

void Wizard::init() {
    const MainState& st = s_.state;
    if (const auto t = loadres(s_.texts(), 1200, {st.sDriverName})) screen_.lblMeterName = *t;
    screen_.title = st.sDriverName;
    QString configure = QStringLiteral("0");
    s_.registry.ReadRegValue(Hive::LocalMachine, st.modelKey(), QStringLiteral("Configure_Meter"), configure);
    if (const auto on = ToBool(configure)) screen_.frameSetupVisible = *on;
    QString help = s_.programDir + PathSeparator() + s_.programName + QStringLiteral(".hlp");
    const QString doubled = QString(PathSeparator()) + PathSeparator();
    ReplaceText(help, doubled, QString(PathSeparator()));
    if (FileExists(help)) screen_.helpFile = help;
    screen_.helpVisible = true;
}

bool Wizard::list_ports() {
    std::int16_t highest = kHighestPort;
    screen_.ports.ScanPorts(highest, s_.state.iComm);
    const std::vector<PortTarget> targets = steps_.portTargets(highest);
    const auto& entries = screen_.ports.entries();
    for (std::size_t i = 0; i < entries.size() && i < targets.size(); ++i) {
        const PortTarget& t = targets[i];
        QString tip = t.device;
        if (t.absent)
            tip = loadres(s_.texts(), kNoDeviceText, {t.device}).value_or(QString());
        else if (!t.description.isEmpty())
            tip += QStringLiteral(" \u2014 ") + t.description;
        screen_.ports.setToolTip(static_cast<int>(i), tip);
    }
    return !screen_.ports.empty();
}

bool Wizard::TestPort(std::int16_t port, std::int16_t force, std::optional<PermissionRefusal>* refused) {
    bool test = true;
    if (!s_.state.sRootKey.isEmpty() && force <= 0) {
        QString value = QStringLiteral("1");
        s_.registry.ReadRegValue(Hive::LocalMachine, s_.state.sRootKey, QStringLiteral("TestPorts"), value);
        if (const auto b = ToBool(value)) test = *b;
    }
    if (!test) return true;
    const PortProbe probe = steps_.probePort(port);
    if (refused) *refused = probe.refused;
    return probe.ok;
}

bool Wizard::Check_Paramsetup() {
    const QString key = s_.state.modelKey();
    bool ok = false;
    QString configure;
    s_.registry.ReadRegValue(Hive::LocalMachine, key, QStringLiteral("Configure_Meter"), configure);
    if (!IsNonZeroNumber(configure)) ok = true;
    QString doInit = QStringLiteral("0");
    s_.registry.ReadRegValue(Hive::LocalMachine, key, QStringLiteral("DoInit"), doInit);
    if (!IsNonZeroNumber(doInit)) ok = true;
    QString type0;
    s_.registry.ReadRegValue(Hive::CurrentUser, key, QStringLiteral("Type0"), type0);
    if (!type0.isEmpty()) ok = true;

    if (const auto t = loadres(s_.texts(), ok ? 1260 : 1399)) screen_.lblSetuptext = *t;
    screen_.setupWarning = !ok;
    screen_.imgdoinitVisible = !ok;
    screen_.nextEnabled = ok;
    return ok;
}

void Wizard::display_status(const QString& txt) {
    screen_.lblStepGuide = txt;
    screen_.progressVisible = true;
}

void Wizard::setAnimate(bool on) {
    animate_ = on;
    screen_.timerEnabled = on;
    screen_.animationVisible = on;
    refresh();
}

void Wizard::Timer1_Timer() {
    screen_.lineAnimateColor = hooks_.random ? hooks_.random() & 0xFF : 0;
    QString& text = screen_.lblAnimate.text;
    if (!text.isEmpty()) text = text.right(1) + text.left(text.size() - 1);
    screen_.lblAnimate.set = true;
    refresh();
}

void Wizard::cmdNext_Click() {
    if (page_ == 0 && !list_ports()) return;
    ++page_;
    if (page_ < 5)
        do_step(page_);
    else if (hooks_.iFinished)
        hooks_.iFinished(true);
    refresh();
}

void Wizard::cmdCancel_Click() {
    outcome_ = ImportOutcome::Cancelled;
    if (hooks_.iFinished) hooks_.iFinished(true);
}

void Wizard::cmdHelp_Click() { s_.messages.show(HelpText(), s_.state.sDriverName, MessageIcon::Information); }

void Wizard::cmdSetup_Click() {
    showPage(WizardPage::Setup);
    refresh();
    if (hooks_.callSetup) hooks_.callSetup();
    screen_.setupVisible = false;
    init();
    Check_Paramsetup();
    refresh();
}

void Wizard::check_usb() {
    const QString key = s_.state.modelKey();
    QString serial;
    s_.registry.ReadRegValue(Hive::LocalMachine, key, QStringLiteral("USBSerial"), serial);
    if (serial.isEmpty()) return;
    screen_.usbInfoVisible = true;
    screen_.portsListShort = true;
    QString usbKey;
    s_.registry.ReadRegValue(Hive::LocalMachine, key, QStringLiteral("USBKey"), usbKey);
    screen_.usbKey = TrimText(usbKey);
}

void Wizard::cmdUSBInfo_Click() {
    const Language* texts = s_.texts();
    QString driver;
    s_.registry.ReadRegValue(Hive::LocalMachine, s_.state.modelKey(), QStringLiteral("USBDriver"), driver);
    if (auto message = loadres(texts, 1388)) {
        if (!driver.isEmpty()) {
            if (const auto more = loadres(texts, 1389, {driver})) *message += *more;
        }
        if (const auto title = loadres(texts, 1387)) s_.messages.show(*message, *title, MessageIcon::Information);
    }
    if (hooks_.startUsbCheck) hooks_.startUsbCheck(screen_.usbKey);
}

void Wizard::Unload() {
    screen_.hourglass = false;
    steps_.closePort();
}

void Wizard::do_step(std::int16_t& step) {
    MainState& st = s_.state;
    const Language* texts = s_.texts();
    switch (step) {
    case 0:
        showPage(WizardPage::Intro);
        screen_.hourglass = false;
        if (const auto t = loadres(texts, 1201)) screen_.lblintro = *t;
        screen_.stepPicture = st.iUniqueImportID + kIntroPictureOffset;
        screen_.nextEnabled = true;
        Check_Paramsetup();
        break;
    case 1:
        screen_.introVisible = false;
        screen_.stepPicture = st.iUniqueImportID + kPortPictureOffset;
        screen_.selectComVisible = true;
        screen_.nextEnabled = true;
        screen_.hourglass = false;
        display_status(QString());
        screen_.front = WizardPage::SelectCom;
        break;
    case 2: {
        const int chosen = screen_.ports.firstSelected();
        if (chosen < 0) {
            outcome_ = ImportOutcome::PortNotChosen;
            if (const auto t = loadres(texts, 649)) s_.messages.show(*t, QString(), MessageIcon::Information);
            --step;
            break;
        }
        st.iComm = screen_.ports.entries()[static_cast<std::size_t>(chosen)].itemData;
        std::optional<PermissionRefusal> refused;
        if (TestPort(st.iComm, 0, &refused)) {
            screen_.selectComVisible = false;
            screen_.nextVisible = true;
            QString txt;
            const auto first = loadres(texts, 1204, {st.sDriverName, QString::number(st.iComm)});
            const auto second = loadres(texts, 1336);
            if (first && second) txt = *first + QStringLiteral("\r\n") + *second;
            display_status(txt);
            screen_.front = WizardPage::Progress;
        } else {
            outcome_ = ImportOutcome::PortTestFailed;
            if (const auto t = loadres(texts, 1203)) {
                QString text = QStringLiteral("COM:") + QString::number(st.iComm) + QStringLiteral(" ---> ") + *t;
                if (refused)
                    if (const auto why = loadres(texts, kPermissionText, {refused->device, refused->group}))
                        text += QStringLiteral("\r\n") + *why;
                s_.messages.show(text, QString(), MessageIcon::Critical);
            }
            --step;
        }
        break;
    }
    case 3: {
        screen_.pbarVisible = false;
        screen_.nextEnabled = false;
        screen_.hourglass = true;
        refresh();
        const bool connected = steps_.meter_connected();
        if (s_.pump.stopRequested()) {
            steps_.closePort();
            break; // the program is ending: nothing more to do
        }
        if (!connected) {
            outcome_ = ImportOutcome::NoAnswer;
            step = -1;
            if (const auto t = loadres(texts, 642, {st.sDriverName, QString::number(st.iComm)}))
                s_.messages.show(*t, QString(), MessageIcon::Critical);
            cmdNext_Click();
            steps_.closePort();
            break;
        }
        screen_.hourglass = true;
        screen_.nextEnabled = false;
        const int n = steps_.meter_read(records_, download_);
        if (s_.pump.stopRequested()) {
            // Cancelled during the download: no import file from a partial memory.
            steps_.closePort();
            break;
        }
        if (n != 0) {
            screen_.hourglass = false;
            export_data();
        } else {
            outcome_ = ImportOutcome::NoRecords;
            step = -1;
            cmdNext_Click();
            steps_.closePort();
        }
        break;
    }
    default:
        break;
    }
}

void Wizard::export_data() {
    const Language* texts = s_.texts();
    exported_ = steps_.export_file(records_); // the wizard shows no message when it could not be written
    outcome_ = ImportOutcome::Exported;

    if (records_.iNoDateCount != 0) {
        const auto a = loadres(texts, 1232, {QString::number(records_.iNoDateCount)});
        const auto b = loadres(texts, 1347);
        if (a && b) screen_.lblNoDate = *a + QStringLiteral("\r\n") + *b;
    } else {
        screen_.lblNoDate = QString();
    }
    screen_.hourglass = false;
    showPage(WizardPage::Success);
    if (const auto t = loadres(texts, 908)) screen_.nextCaption = *t;
    screen_.cancelVisible = false;
    screen_.lblMeterID = s_.state.sMeterID;
    screen_.frresultInsulinVisible = true;
    const int g = records_.iGlucoseLastRead;
    screen_.lblnBG = g < 0 ? QStringLiteral("-") : QString::number(g + 1);
    int markers = 0;
    bool any = false;
    for (int c : {records_.iInsulinLast, records_.iExerciseLast, records_.iMedicinesLast, records_.iIntakesLast}) {
        if (c >= 0) {
            markers += c + 1;
            any = true;
        }
    }
    screen_.lblnIG = any ? QString::number(markers) : QStringLiteral("-");
    page_ = 6;
    screen_.nextEnabled = true;
}

} // namespace bdlogic
