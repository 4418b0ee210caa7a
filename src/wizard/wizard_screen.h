// What the wizard window shows, as plain data: the step logic changes it, the window (or batch mode) renders it.
#pragma once

#include "port_list.h"

#include <QString>

namespace bdlogic {

enum class WizardPage { None, Intro, SelectCom, Progress, Success, Setup };

// A caption that keeps the designer's text until the logic sets one.
struct Caption {
    QString text;
    bool set = false;
    void operator=(const QString& t) {
        text = t;
        set = true;
    }
};

struct WizardScreen {
    QString title;                // window caption
    WizardPage front = WizardPage::None;
    bool introVisible = false;
    bool selectComVisible = false;
    bool progressVisible = false;
    bool successVisible = false;
    bool animationVisible = false;
    bool setupVisible = false;

    int stepPicture = 0;          // bitmap resource id of imgstp
    Caption lblMeterName;
    Caption lblintro;
    Caption lblStepGuide;
    Caption lblSetuptext;
    bool setupWarning = false;    // red, bold, moved right: the set-up must be done first
    bool imgdoinitVisible = false;
    bool frameSetupVisible = false;
    bool helpVisible = true;
    QString helpFile;             // the application's help file, when present

    bool nextEnabled = true;
    bool nextVisible = true;
    Caption nextCaption;
    bool cancelVisible = true;
    bool pbarVisible = false;     // the progress bar is never shown
    bool hourglass = false;

    bool timerEnabled = false;    // Timer1, 70 ms
    Caption lblAnimate;
    int lineAnimateColor = 0;     // shade of red, 0..255

    Caption lblNoDate;
    Caption lblMeterID;
    Caption lblnBG;
    Caption lblnIG;
    bool frresultInsulinVisible = false;

    bool usbInfoVisible = false;  // cmdUSBInfo
    bool portsListShort = false;  // lbPorts shortened to 1410 twips to make room for cmdUSBInfo
    QString usbKey;               // cmdUSBInfo's tag: the parameters for usbcheck

    PortList ports;
};

} // namespace bdlogic
