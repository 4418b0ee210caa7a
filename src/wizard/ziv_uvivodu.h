// The wizard window: renders the wizard's screen after every handler and whenever the logic asks, and hands
// the user's clicks to the logic. It never decides anything itself.
#pragma once

#include "importfile/widget_busy_cursor.h"
#include "startup/design_scale.h"
#include "wizard.h"

#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;

namespace bdlogic {

class LineShape;
class ReadingsChart;

class ZivUVIvodu : public QWidget {
public:
    struct Hooks {
        std::function<void(bool)> iFinished;               // frmMain's iFinished
        std::function<void(QWidget* container)> callSetup; // frmMain's CallSetup with this window's picSetup
        // Starts usbcheck with these parameters; by default the one in the program directory.
        std::function<void(const QString&)> startUsbCheck;
        std::function<int()> random; // 0..255 for the animation; by default Qt's generator
    };

    // The load of the window: builds the controls, places the pages and localises them.
    ZivUVIvodu(Services& services, ImportSteps& steps, Hooks hooks, QWidget* parent = nullptr);
    ~ZivUVIvodu() override;

    // Prepares the wizard, makes the window topmost and shows its first page.
    void Go();
    // The window's unload: normal mouse pointer, port closed, window closed for good.
    void Unload();
    // Puts a status line into lblStepGuide and shows it at once.
    void showStep(const QString& text);
    // Brings every control in line with the wizard's screen; changed status texts repaint at once.
    void render();

    Wizard& wizard() { return wizard_; }
    QWidget* picSetup() const { return picSetup_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildIntro();
    void buildSelectCom();
    void buildProgress();
    void buildSuccess();
    void buildButtons();
    void placePages();
    void placeButtons();
    void alignResultTitles();
    void nameControls();
    QString pageTitle() const;
    void focusWhereTheUserActs();
    void renderPages();
    void renderIntro();
    void renderButtons();
    void renderAnimation();
    void renderResult();
    void showChart();
    void nameCounts();
    void renderPorts();
    void renderCursor();
    void onPortChanged(int row);
    // Runs a handler of the logic, then shows what it changed.
    void handle(void (Wizard::*handler)());

    Services& services_;
    Hooks hooks_;
    Wizard wizard_;

    QLabel* imgstp_ = nullptr;
    QLabel* lblMeterName_ = nullptr;
    QFrame* contIntro_ = nullptr;
    QLabel* lblintro_ = nullptr;
    QFrame* frameSetup_ = nullptr;
    QPushButton* cmdSetup_ = nullptr;
    QLabel* imgdoinit_ = nullptr;
    QLabel* lblSetuptext_ = nullptr;
    QFrame* contSelectCom_ = nullptr;
    QListWidget* lbPorts_ = nullptr;
    QLabel* label2_ = nullptr;
    QPushButton* cmdUSBInfo_ = nullptr;
    QFrame* contProgress_ = nullptr;
    QLabel* lblStepGuide_ = nullptr;
    QProgressBar* pbar_ = nullptr;
    QFrame* contAnimation_ = nullptr;
    LineShape* lineAnimate_ = nullptr;
    QLabel* lblAnimate_ = nullptr;
    QFrame* contSuccess_ = nullptr;
    QLabel* lblSuccess_ = nullptr;
    QLabel* lblnBG_ = nullptr;
    QLabel* lblnIG_ = nullptr;
    QLabel* lblMeterID_ = nullptr;
    QLabel* lblNoDate_ = nullptr;
    QFrame* frresultInsulin_ = nullptr;
    ReadingsChart* chartReadings_ = nullptr;
    QList<QLabel*> resultTitles_;
    QWidget* picSetup_ = nullptr;
    QPushButton* cmdNext_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
    QTimer* timer1_ = nullptr;

    DesignScale px_;
    QWidget* topPage_ = nullptr; // the page the user sees
    bool focusPending_ = false;  // the page turned: the focus goes where the user acts on it
    int shownPicture_ = 0;
    int warningShown_ = -1; // the set-up text's look last rendered: -1 none yet, 0 ok, 1 warning
    bool rendering_ = false;
    WidgetBusyCursor hourglass_; // the screen pointer while the logic asks for it
    bool chartShown_ = false;
    bool unloaded_ = false;
};

} // namespace bdlogic
