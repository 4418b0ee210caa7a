// The wizard window driven by its buttons, with the meter work scripted and the world faked.
#include "fake_import_steps.h"
#include "memory/frm_setup_bdlogic.h"
#include "startup/frm_main.h"
#include "support/services_fixture.h"
#include "wizard/line_shape.h"
#include "wizard/readings_chart.h"
#include "wizard/step_picture.h"
#include "wizard/ziv_uvivodu.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <gtest/gtest.h>

// Failures show texts, not their bytes.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace bdlogic {
namespace {

using reg::Hive;
const std::string kModel = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

// The name and description changes a screen reader hears, as "object: text". Qt raises them only while one is
// active, so the recorder plays one.
struct HeardEvents {
    static inline QStringList heard;
    static void record(QAccessibleEvent* e) {
        const bool name = e->type() == QAccessible::NameChanged;
        if (name || e->type() == QAccessible::DescriptionChanged)
            heard << e->object()->objectName() + QStringLiteral(": ") +
                         e->accessibleInterface()->text(name ? QAccessible::Name : QAccessible::Description);
    }
    static void activate(bool on) {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(on);
    }
    HeardEvents() {
        activate(true);
        QAccessible::installUpdateHandler(&record);
    }
    ~HeardEvents() {
        QAccessible::installUpdateHandler(nullptr);
        activate(false);
    }
};

// The shown controls whose text does not fit them: too narrow or too low for it.
QStringList CutTexts(QWidget& window) {
    QStringList cut;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        const bool text = label ? !label->text().isEmpty()
                                : qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w);
        const QSize need =
            label && label->wordWrap() ? QSize(0, label->heightForWidth(w->width())) : w->sizeHint();
        if (w->isVisible() && text && (need.width() > w->width() || need.height() > w->height()))
            cut << w->objectName();
    }
    return cut;
}

class WizardWindowTest : public ::testing::Test {
protected:
    WizardWindowTest() {
        w.useEchoLanguage();
        test::BdLogicOnCom3(w.state);
    }
    ~WizardWindowTest() override {
        if (win) win->Unload();
    }

    ZivUVIvodu& open() {
        win = std::make_unique<ZivUVIvodu>(w.services, steps,
                                           ZivUVIvodu::Hooks{
                                               [this](bool end) {
                                                   finished.push_back(end);
                                                   if (end && unloadOnFinish) win->Unload();
                                               },
                                               [this](QWidget* container) { frmMain.CallSetup(container); },
                                               [this](const QString& parameters) { usbStarts << parameters; },
                                               [] { return 200; },
                                           });
        win->Go();
        EXPECT_TRUE(QTest::qWaitForWindowActive(win.get())); // keys go to the active window
        return *win;
    }

    template <typename T> T* get(const char* name) {
        T* control = win->findChild<T*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString text(const char* label) { return get<QLabel>(label)->text(); }
    void next() { get<QPushButton>("cmdNext")->click(); }
    // A key where the keyboard focus is, as the user presses it.
    void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    QString focus() {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    // Where the focus goes on each of `n` Tabs.
    QStringList tabs(qsizetype n) {
        QStringList order;
        for (qsizetype i = 0; i < n; ++i) {
            press(Qt::Key_Tab);
            order << focus();
        }
        return order;
    }

    // The page the user sees: the visible page container that lies on top of the others.
    QString frontPage() {
        QString front;
        for (QObject* child : win->children()) {
            auto* page = qobject_cast<QWidget*>(child);
            if (!page || !page->isVisible()) continue;
            static const QStringList kPages = {"contIntro", "contSelectCom", "contProgress", "contSuccess",
                                               "picSetup"};
            if (kPages.contains(page->objectName())) front = page->objectName();
        }
        return front;
    }

    QStringList tickedPorts() {
        QStringList ticked;
        auto* list = get<QListWidget>("lbPorts");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked) ticked << list->item(i)->text();
        return ticked;
    }

    test::FakeWorld w;
    test::FakeImportSteps steps;
    FrmMain frmMain{w.services, [this] { return std::make_unique<FrmSetupBDlogic>(w.services); }};
    std::vector<bool> finished;
    bool unloadOnFinish = true;
    QStringList usbStarts;
    std::unique_ptr<ZivUVIvodu> win;
};

TEST_F(WizardWindowTest, LoadPlacesTheControlsAndLocalisesThem) {
    open();
    EXPECT_EQ(win->objectName(), QStringLiteral("zivUVIvodu"));
    EXPECT_EQ(win->windowTitle(), QStringLiteral("BD Logic"));
    EXPECT_TRUE(win->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // Tags name the texts; buttons split "caption|tool tip"; the font is Arial everywhere.
    auto* next = get<QPushButton>("cmdNext");
    EXPECT_EQ(next->property("Tag").toString(), QStringLiteral("L905"));
    EXPECT_EQ(next->text(), QStringLiteral("T905"));
    EXPECT_EQ(next->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(get<QPushButton>("cmdHelp")->text(), QStringLiteral("&Hilfe"));
    EXPECT_EQ(text("lblMeterIDTitle"), QStringLiteral("T1224"));

    // The introduction: meter name, intro text, the model's picture.
    EXPECT_EQ(frontPage(), QStringLiteral("contIntro"));
    EXPECT_EQ(text("lblMeterName"), QStringLiteral("T1200[BD Logic]"));
    EXPECT_EQ(text("lblintro"), QStringLiteral("T1201"));
    EXPECT_EQ(get<QLabel>("imgstp")->pixmap().toImage(), StepPicture(164).toImage());
}

TEST_F(WizardWindowTest, ParadigmLinkShowsItsOwnPictures) {
    w.state.iUniqueImportID = 84;
    open();
    EXPECT_EQ(get<QLabel>("imgstp")->pixmap().toImage(), StepPicture(184).toImage());
    EXPECT_NE(StepPicture(184).toImage(), StepPicture(164).toImage());
    next();
    EXPECT_EQ(get<QLabel>("imgstp")->pixmap().toImage(), StepPicture(1184).toImage());
    EXPECT_NE(StepPicture(1184).toImage(), StepPicture(1164).toImage());
}

TEST_F(WizardWindowTest, WithoutALanguageLibraryTheDesignerTextsStay) {
    w.services.language.reset();
    open();
    EXPECT_EQ(get<QPushButton>("cmdNext")->text(), QStringLiteral("&Weiter >>"));
    EXPECT_EQ(get<QPushButton>("cmdCancel")->text(), QStringLiteral("&Abbrechen"));
    EXPECT_EQ(text("lblSetuptext"),
              QStringLiteral("Bitte wählen Sie EINSTELLUNGEN, umden Datenimport zu konfigurieren"));
    EXPECT_EQ(
        text("Label2"),
        QStringLiteral("Bitte wählen Sie die Schnittstelle, an welche das Meßgerät angeschlossen ist."));
    EXPECT_EQ(text("lblnBG"), QStringLiteral("Blutzucker:"));
    EXPECT_EQ(text("lblMeterID"), QStringLiteral("Geräte-ID:"));
}

TEST_F(WizardWindowTest, PortPageKeepsOneTickAndStaysOnAFailedChoice) {
    steps.targets = {{"/dev/ttyS0", "", false}, {"/dev/ttyS1", "", true}, {"/dev/ttyUSB0", "FTDI FT232R", false}};
    open();
    next();
    EXPECT_EQ(frontPage(), QStringLiteral("contSelectCom"));
    EXPECT_EQ(get<QLabel>("imgstp")->pixmap().toImage(), StepPicture(1164).toImage());
    auto* list = get<QListWidget>("lbPorts");
    ASSERT_EQ(list->count(), 16);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("COM:1"));
    EXPECT_EQ(tickedPorts(), QStringList{"COM:3"});
    EXPECT_EQ(list->currentRow(), 2);
    // Each tool tip tells what stands behind the number, or that nothing does.
    const QStringList tips = {list->item(0)->toolTip(), list->item(1)->toolTip(), list->item(2)->toolTip()};
    EXPECT_EQ(tips, QStringList({"/dev/ttyS0", "T7001[/dev/ttyS1]", "/dev/ttyUSB0 \u2014 FTDI FT232R"}));
    // What a screen reader finds: names from the captions, roles, the ticked entry, the page's title.
    const auto tree = [](QObject* o) { return QAccessible::queryAccessibleInterface(o); };
    for (const auto& [control, role, name] : {std::tuple{"cmdNext", QAccessible::PushButton, "T905"},
                                              {"cmdHelp", QAccessible::PushButton, "Hilfe"},
                                              {"lbPorts", QAccessible::List, "T1202"},
                                              {"imgstp", QAccessible::Graphic, "BD Logic – COM"},
                                              {"lblStepGuide", QAccessible::StatusBar, ""}}) {
        EXPECT_EQ(tree(get<QWidget>(control))->role(), role) << control;
        EXPECT_EQ(tree(get<QWidget>(control))->text(QAccessible::Name).toStdString(), name);
    }
    for (int row : {0, 2})
        EXPECT_EQ(tree(list)->child(row)->state().checked, row == 2);
    EXPECT_EQ(tree(list)->child(2)->text(QAccessible::Name), QStringLiteral("COM:3"));
    EXPECT_EQ(tree(win.get())->text(QAccessible::Description), QStringLiteral("T1202"));

    // The user clicks the box of COM:5, then clicks it again: it stays the one ticked.
    const auto clickBox = [list](int row) {
        QStyleOptionViewItem option;
        option.initFrom(list);
        option.rect = list->visualItemRect(list->item(row));
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    };
    for (int click = 0; click < 2; ++click) {
        clickBox(4);
        EXPECT_EQ(tickedPorts(), QStringList{"COM:5"});
    }
    // One up with the arrow key, a look at the help, then Space ticks that entry.
    QTest::keyClick(list, Qt::Key_Up);
    QTest::mouseClick(get<QPushButton>("cmdHelp"), Qt::LeftButton);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(tickedPorts(), QStringList{"COM:4"});

    // The ticked port is tested; one that cannot be opened gives a critical box, the port page stays.
    // Refused for lack of permission, the message says who may open the device.
    steps.portOk = false;
    steps.refused = PermissionRefusal{"/dev/ttyS3", "dialout"};
    next();
    ASSERT_EQ(w.messages.shown.size(), 2u);
    EXPECT_EQ(w.messages.shown[1].text, QStringLiteral("COM:4 ---> T1203\r\nT7002[/dev/ttyS3,dialout]"));
    EXPECT_EQ(w.messages.shown[1].icon, MessageIcon::Critical);
    EXPECT_EQ(steps.probed, std::vector<std::int16_t>{4});
    EXPECT_EQ(frontPage(), QStringLiteral("contSelectCom"));
    EXPECT_EQ(win->wizard().page(), 1);

    // No port in the list at all: text 649, still the port page.
    std::int16_t none = -1;
    win->wizard().screen().ports.ScanPorts(none, 0);
    win->render();
    EXPECT_EQ(list->count(), 0);
    next();
    ASSERT_EQ(w.messages.shown.size(), 3u);
    EXPECT_EQ(w.messages.shown[2].text, QStringLiteral("T649"));
    EXPECT_EQ(w.messages.shown[2].icon, MessageIcon::Information);
    EXPECT_EQ(frontPage(), QStringLiteral("contSelectCom"));
    EXPECT_EQ(steps.probed.size(), 1u);
}

TEST_F(WizardWindowTest, MeterThatDoesNotAnswerReturnsToTheIntroductionAndNextRescans) {
    open();
    next();
    next();
    EXPECT_EQ(frontPage(), QStringLiteral("contProgress"));
    EXPECT_EQ(text("lblStepGuide"), QStringLiteral("T1204[BD Logic,3]\nT1336"));

    bool hourglassDuringConnect = false;
    bool nextDisabledDuringConnect = false;
    steps.answers = false;
    steps.duringConnect = [&] {
        hourglassDuringConnect =
            QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        nextDisabledDuringConnect = !get<QPushButton>("cmdNext")->isEnabled();
    };
    next();
    EXPECT_TRUE(hourglassDuringConnect);
    EXPECT_TRUE(nextDisabledDuringConnect);
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, QStringLiteral("T642[BD Logic,3]"));
    EXPECT_EQ(w.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(frontPage(), QStringLiteral("contIntro"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(get<QPushButton>("cmdNext")->isEnabled());
    EXPECT_GE(steps.closes, 1);

    // Next scans the ports again: the list now follows the port in iComm.
    w.state.iComm = 7;
    next();
    EXPECT_EQ(frontPage(), QStringLiteral("contSelectCom"));
    EXPECT_EQ(tickedPorts(), QStringList{"COM:7"});
    EXPECT_TRUE(finished.empty());
}

TEST_F(WizardWindowTest, FullImportByKeysAloneAnimatesIsHeardAndShowsTheCounts) {
    steps.produced = 33;
    steps.records.iGlucoseLastRead = 30;
    steps.records.iInsulinLast = 1;
    steps.records.iNoDateCount = 2;
    open();
    // The focus starts where the user acts; Tab goes in reading order and skips the pages underneath; Enter
    // in the port list is Next.
    EXPECT_EQ(focus(), QStringLiteral("cmdNext"));
    press(Qt::Key_Return);
    EXPECT_EQ(focus(), QStringLiteral("lbPorts"));
    EXPECT_EQ(tabs(4), (QStringList{"cmdHelp", "cmdCancel", "cmdNext", "lbPorts"}));
    press(Qt::Key_Enter);
    EXPECT_EQ(steps.probed, std::vector<std::int16_t>{3});
    EXPECT_EQ(focus(), QStringLiteral("cmdNext"));

    QTimer* timer = win->findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    bool animating = false;
    QString rotated;
    QColor line;
    QString focusDuringRead;
    HeardEvents events;
    steps.duringRead = [&] {
        w.state.sMeterID = QStringLiteral("LG-0042");
        win->wizard().setAnimate(true);
        animating =
            timer->isActive() && timer->interval() == 70 && get<QWidget>("contAnimation")->isVisible();
        win->showStep(QStringLiteral("Reading\r\n12"));
        focusDuringRead = focus(); // Next is off
        // One tick of Timer1: the line takes a shade of red, the digits turn by one to the right.
        QMetaObject::invokeMethod(timer, "timeout");
        rotated = text("lblAnimate");
        line = get<LineShape>("lineAnimate")->borderColor();
        win->wizard().setAnimate(false);
    };
    press(Qt::Key_Return);
    EXPECT_TRUE(animating);
    EXPECT_EQ(focusDuringRead, QStringLiteral("cmdCancel"));
    EXPECT_EQ(rotated, QStringLiteral("10111101100"));
    EXPECT_EQ(line, QColor(200, 0, 0));
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(get<QWidget>("contAnimation")->isVisible());

    EXPECT_EQ(steps.exports, 1);
    EXPECT_EQ(frontPage(), QStringLiteral("contSuccess"));
    EXPECT_EQ(text("lblnBG"), QStringLiteral("31"));
    EXPECT_EQ(text("lblnIG"), QStringLiteral("2"));
    EXPECT_EQ(text("lblMeterID"), QStringLiteral("LG-0042"));
    EXPECT_EQ(text("lblNoDate"), QStringLiteral("T1232[2]\nT1347"));
    EXPECT_TRUE(get<QWidget>("frresultInsulin")->isVisible());
    EXPECT_FALSE(get<QPushButton>("cmdCancel")->isVisible());
    EXPECT_EQ(get<QPushButton>("cmdNext")->text(), QStringLiteral("T908"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Heard without a move of the focus: the status line and the counts; not the turning digits.
    for (const char* heard : {"lblStepGuide: Reading\n12", "zivUVIvodu: Reading\n12", "lblnBG: T1219 31",
                              "lblnIG: T3041 2", "zivUVIvodu: T1213"})
        EXPECT_TRUE(HeardEvents::heard.contains(QString::fromUtf8(heard))) << heard;
    EXPECT_EQ(HeardEvents::heard.filter(QStringLiteral("lblAnimate")), QStringList());

    EXPECT_EQ(focus(), QStringLiteral("cmdNext"));
    press(Qt::Key_Escape); // no Cancel on the result page
    EXPECT_TRUE(finished.empty());
    press(Qt::Key_Return);
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_FALSE(win->isVisible());
}

TEST_F(WizardWindowTest, ResultChartNamesTheReadingUnderThePointer) {
    // A meter in mmol/L: 6.6 mmol/L is 118 mg/dl in the file and shows as the meter showed it.
    steps.produced = 2;
    GlucoseRecord reading;
    reading.DATE = 45322;
    reading.TIME = 0.25;
    reading.BG = 118;
    reading.meterMmol = true;
    GlucoseRecord control = reading;
    control.CONTROL = kTrue;
    steps.records.glucose = {reading, control};
    steps.records.iGlucoseLastRead = 1;
    open();
    next();
    next();
    next();
    auto* chart = get<ReadingsChart>("chartReadings");
    ASSERT_TRUE(chart->isVisible());
    ASSERT_EQ(chart->readings().readings().size(), 1u); // the control test is left out
    EXPECT_EQ(chart->accessibleName(), QStringLiteral("T7300"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(win.get()));

    QTest::mouseMove(chart, chart->readingPosition(0).toPoint());
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
    EXPECT_EQ(QToolTip::text().toStdString(), "31 Jan 2024 06:00: 6.6 mmol/L");
}

TEST_F(WizardWindowTest, CancelDuringTheDownloadEndsWithoutAnImport) {
    steps.produced = 5;
    steps.records.iGlucoseLastRead = 4;
    open();
    next();
    next();
    steps.duringRead = [&] {
        win->wizard().setAnimate(true);
        get<QPushButton>("cmdCancel")->click();
        // The program's end stops every wait, as frmMain's iFinished does.
        w.pump.requestStop();
    };
    next();
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(steps.exports, 0);
    EXPECT_GE(steps.closes, 1);
    EXPECT_FALSE(win->isVisible());
    EXPECT_FALSE(win->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WizardWindowTest, IntroductionShowsTheSetupState) {
    const struct {
        const char* configureMeter; // nullptr: not stored
        const char* doInit;
        bool ok;
    } cases[] = {{nullptr, nullptr, true}, {"1", "1", false}, {"1", "0", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.configureMeter ? c.configureMeter : "nothing stored");
        if (c.configureMeter) w.backend.putString(Hive::LocalMachine, kModel, "Configure_Meter", c.configureMeter);
        if (c.doInit) w.backend.putString(Hive::LocalMachine, kModel, "DoInit", c.doInit);
        if (win) win->Unload();
        open();
        auto* label = get<QLabel>("lblSetuptext");
        EXPECT_EQ(label->text(), c.ok ? QStringLiteral("T1260") : QStringLiteral("T1399"));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), c.ok ? QColor(0, 0, 0) : QColor(255, 0, 0));
        EXPECT_EQ(label->font().bold(), !c.ok);
        EXPECT_EQ(label->x(), c.ok ? 8 : 32);
        EXPECT_EQ(label->width(), c.ok ? 142 : 185);
        EXPECT_EQ(get<QWidget>("imgdoinit")->isVisible(), !c.ok);
        EXPECT_EQ(get<QPushButton>("cmdNext")->isEnabled(), c.ok);
        // The set-up frame is offered exactly when Configure_Meter is a non-zero number.
        EXPECT_EQ(get<QWidget>("frameSetup")->isVisible(), c.configureMeter != nullptr);
    }
}

TEST_F(WizardWindowTest, SetupByKeysAloneOnABlockedIntroductionUnblocksIt) {
    w.backend.putString(Hive::LocalMachine, kModel, "Configure_Meter", "1");
    w.backend.putString(Hive::LocalMachine, kModel, "DoInit", "1");
    open();
    ASSERT_FALSE(get<QPushButton>("cmdNext")->isEnabled());
    EXPECT_EQ(focus(), QStringLiteral("cmdSetup"));
    // Keys that go astray would leave the set-up open: the program's end at 60 s stops its wait then.
    w.pump.at(60000, [&] { w.pump.requestStop(); });

    // Escape leaves the set-up without saving.
    w.pump.at(w.pump.now() + 100, [&] { press(Qt::Key_Escape); });
    press(Qt::Key_Space);
    EXPECT_EQ(w.backend.writes, 0);
    EXPECT_EQ(focus(), QStringLiteral("cmdSetup"));

    // Again: shown over the pages, walked by Tab in reading order; P2 becomes a meal; Enter is OK.
    QWidget* host = get<QWidget>("picSetup");
    bool shownInHost = false;
    QString front;
    QStringList order;
    const QStringList want = {"cmdNext",      "Check1_0", "Check1_1", "cbDataType_0", "cbType_0",  "txtIG_0",
                              "cbDataType_1", "cbType_1", "txtIG_1",  "cbDataType_2", "cbType_2",  "txtIG_2",
                              "cbDataType_3", "cbType_3", "txtIG_3",  "txtMarker",    "cmdCancel", "cmdNext"};
    w.pump.at(w.pump.now() + 100, [&] {
        shownInHost = host->isVisible() && QApplication::focusWidget()->parentWidget() == host;
        front = frontPage();
        order << focus() << tabs(want.size() - 1);
        tabs(6); // to P2's data type
        press(Qt::Key_Down);
        press(Qt::Key_Return);
    });
    press(Qt::Key_Return); // a focused button takes Enter itself
    EXPECT_TRUE(shownInHost);
    EXPECT_EQ(front, QStringLiteral("picSetup"));
    EXPECT_EQ(order, want);
    EXPECT_FALSE(host->isVisible());
    EXPECT_EQ(host->findChild<QWidget*>(QStringLiteral("contSetup")), nullptr);

    EXPECT_EQ(w.backend.string(Hive::CurrentUser, kModel, "Type0"), "0");
    EXPECT_EQ(w.backend.string(Hive::CurrentUser, kModel, "Type1"), "1");
    EXPECT_EQ(frontPage(), QStringLiteral("contIntro"));
    EXPECT_EQ(focus(), QStringLiteral("cmdNext"));
    EXPECT_EQ(text("lblSetuptext"), QStringLiteral("T1260"));
    EXPECT_EQ(get<QLabel>("lblSetuptext")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_FALSE(get<QWidget>("imgdoinit")->isVisible());
    press(Qt::Key_Escape);
    EXPECT_EQ(finished, std::vector<bool>{true});
}

TEST_F(WizardWindowTest, HelpButtonAndF1ShowTheHelpText) {
    open();
    get<QPushButton>("cmdHelp")->click();
    press(Qt::Key_F1);
    ASSERT_EQ(w.messages.shown.size(), 2u);
    const auto& m = w.messages.shown[0];
    EXPECT_EQ(m.title, QStringLiteral("BD Logic"));
    EXPECT_EQ(m.icon, MessageIcon::Information);
    // Five paragraphs.
    EXPECT_TRUE(m.text.startsWith(
        QStringLiteral("Bitte folgen Sie den Anweisungen des Assistenten zur Datenübertragung.\r\n\r\nÜber ")));
    EXPECT_EQ(m.text.count(QStringLiteral("\r\n")), 7);
    EXPECT_TRUE(m.text.endsWith(QStringLiteral("kann ein Kommentartext hinzugefügt werden.")));
    EXPECT_EQ(w.messages.shown[1].text, m.text);
}

TEST_F(WizardWindowTest, UsbButtonShowsOnlyWithAUsbCable) {
    open();
    next();
    EXPECT_FALSE(get<QWidget>("cmdUSBInfo")->isVisible());
    EXPECT_EQ(get<QWidget>("lbPorts")->height(), 137);
    win->Unload();

    w.backend.putString(Hive::LocalMachine, kModel, "USBSerial", "FTDI");
    w.backend.putString(Hive::LocalMachine, kModel, "USBKey", "  -vid 0403  ");
    w.backend.putString(Hive::LocalMachine, kModel, "USBDriver", "ftdi_sio");
    open();
    next();
    auto* usb = get<QPushButton>("cmdUSBInfo");
    EXPECT_TRUE(usb->isVisible());
    EXPECT_EQ(usb->text(), QStringLiteral("T1387"));
    EXPECT_EQ(get<QWidget>("lbPorts")->height(), 94);
    usb->click();
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, QStringLiteral("T1388T1389[ftdi_sio]"));
    EXPECT_EQ(w.messages.shown[0].title, QStringLiteral("T1387"));
    EXPECT_EQ(usbStarts, QStringList{"-vid 0403"});
}

TEST_F(WizardWindowTest, ClosingTheWindowIsCancel) {
    unloadOnFinish = false;
    open();
    EXPECT_FALSE(win->close()); // the program decides when the window goes
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_TRUE(win->isVisible());

    unloadOnFinish = true;
    get<QPushButton>("cmdCancel")->click();
    EXPECT_EQ(finished, (std::vector<bool>{true, true}));
    EXPECT_FALSE(win->isVisible());
    EXPECT_GE(steps.closes, 1);
}

TEST_F(WizardWindowTest, ALargeSystemFontGrowsTheWindowAndCutsNoText) {
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSize(18);
    QApplication::setFont(large);
    w.services.language =
        LanguagePack::load(QStringLiteral(BDLOGIC_SOURCE_DIR "/src/resources/lang/Deutsch.lng"));
    w.backend.putString(Hive::LocalMachine, kModel, "Configure_Meter", "1");
    w.backend.putString(Hive::LocalMachine, kModel, "DoInit", "1");
    w.backend.putString(Hive::LocalMachine, kModel, "USBSerial", "FTDI");
    steps.produced = 33;
    steps.records.iNoDateCount = 2;
    open();
    EXPECT_EQ(win->size(), QSize(559, 250) * 2);
    EXPECT_EQ(CutTexts(*win), QStringList());
    w.pump.at(w.pump.now() + 100, [&] {
        EXPECT_EQ(CutTexts(*win), QStringList()) << "set-up";
        win->picSetup()->findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
    });
    get<QPushButton>("cmdSetup")->click();
    for (const char* page : {"ports", "guide", "result"}) {
        next();
        EXPECT_EQ(CutTexts(*win), QStringList()) << page;
    }
    QApplication::setFont(normal);
}

} // namespace
} // namespace bdlogic
