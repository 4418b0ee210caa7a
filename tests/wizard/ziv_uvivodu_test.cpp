// The wizard window driven by mouse and keys, with the meter work scripted and the world faked.
#include "decoded_records.h"
#include "support/test_files.h"
#include "wizard/line_shape.h"
#include "wizard/readings_chart.h"
#include "wizard/wizard.h"
#include "wizard_window.h"

#include <QAccessible>
#include <QComboBox>
#include <QListWidget>
#include <QRegularExpression>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace bdlogic {
namespace {

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
        QAccessible::installUpdateHandler(on ? &record : nullptr);
    }
    HeardEvents() { activate(true); }
    ~HeardEvents() { activate(false); }
};

// The shown controls whose text does not fit them (too narrow or too low for it) or that stick out of their
// parent.
QStringList CutTexts(QWidget& window) {
    QStringList cut;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        const bool text = label ? !label->text().isEmpty()
                                : qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w);
        const QSize need =
            label && label->wordWrap() ? QSize(0, label->heightForWidth(w->width())) : w->sizeHint();
        const bool fits = need.width() <= w->width() && need.height() <= w->height() &&
                          w->parentWidget()->rect().contains(w->geometry());
        if (w->isVisible() && text && !fits) cut << w->objectName();
    }
    return cut;
}

using WizardWindowTest = test::WizardWindow;

TEST_F(WizardWindowTest, PortPageKeepsOneTickAndStaysOnAFailedChoice) {
    steps.targets = {
        {"/dev/ttyS0", "", false}, {"/dev/ttyS1", "", true}, {"/dev/ttyUSB0", "FTDI FT232R", false}};
    open();
    next();
    auto* list = get<QListWidget>("lbPorts");
    ASSERT_EQ(list->count(), 16);
    const auto tickedPorts = [list] {
        QStringList ticked;
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked) ticked << list->item(i)->text();
        return ticked;
    };
    EXPECT_EQ(tickedPorts(), QStringList{"COM:3"});
    EXPECT_EQ(list->currentRow(), 2);
    // Each tool tip tells what stands behind the number, or that nothing does.
    const QStringList tips = {list->item(0)->toolTip(), list->item(1)->toolTip(), list->item(2)->toolTip()};
    EXPECT_EQ(tips, QStringList({"/dev/ttyS0", "T7001[/dev/ttyS1]", "/dev/ttyUSB0 \u2014 FTDI FT232R"}));
    // What a screen reader finds: names from the captions, roles, the ticked entry, the page's title.
    const auto tree = [](QObject* o) { return QAccessible::queryAccessibleInterface(o); };
    for (const auto& [control, role, name] : {std::tuple{"lbPorts", QAccessible::List, "T1202"},
                                              {"imgstp", QAccessible::Graphic, "BD Logic – COM"},
                                              {"lblStepGuide", QAccessible::StatusBar, ""}}) {
        EXPECT_EQ(tree(get(control))->role(), role) << control;
        EXPECT_EQ(tree(get(control))->text(QAccessible::Name).toStdString(), name);
    }
    for (int row : {0, 2})
        EXPECT_EQ(tree(list)->child(row)->state().checked, row == 2);
    EXPECT_EQ(tree(list)->child(2)->text(QAccessible::Name), QStringLiteral("COM:3"));
    EXPECT_EQ(tree(win.get())->text(QAccessible::Description), QStringLiteral("T1202"));

    // The user clicks the box of COM:5, then clicks it again: it stays the one ticked.
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = list->visualItemRect(list->item(4));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    for (int clicks = 0; clicks < 2; ++clicks) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
        EXPECT_EQ(tickedPorts(), QStringList{"COM:5"});
    }
    // One up with the arrow key, a look at the help by its button and by F1, then Space ticks that entry.
    QTest::keyClick(list, Qt::Key_Up);
    click("cmdHelp");
    QTest::keyClick(list, Qt::Key_F1);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(tickedPorts(), QStringList{"COM:4"});

    // The ticked port is tested; refused for lack of permission, the message says who may open the device,
    // and the port page stays.
    steps.portOk = false;
    steps.refused = PermissionRefusal{"/dev/ttyS3", "dialout"};
    next();
    const QString help = "(i) BD Logic: " + Wizard::HelpText();
    EXPECT_EQ(said(), QStringList({help, help, "(!) : COM:4 ---> T1203\r\nT7002[/dev/ttyS3,dialout]"}));
    EXPECT_EQ(steps.probed, std::vector<std::int16_t>{4});
    EXPECT_EQ(seen(), QStringLiteral("contSelectCom cmdNext"));
}

TEST_F(WizardWindowTest, FullImportByKeysAloneAnimatesIsHeardAndShowsTheResult) {
    // A meter in mmol/L: 6.6 mmol/L is 118 mg/dl in the file and shows as the meter showed it.
    steps.records = test::DecodedRecords({"Glu,6.6,mmol/L,0,20240131,0600", "Cntl,6.6,mmol/L,0,20240131,0700",
                                          "Glu,5.5,mmol/L,0,00000000,0800", "P1,4,,,20240131,0715",
                                          "P1,6,,,20240131,2100"});
    steps.produced = 4;
    open();
    // The focus starts where the user acts; Tab goes in reading order and skips the pages underneath; Enter
    // in the port list is Next.
    EXPECT_EQ(seen(), QStringLiteral("contIntro cmdNext"));
    press(Qt::Key_Return);
    EXPECT_EQ(seen(), QStringLiteral("contSelectCom lbPorts"));
    EXPECT_EQ(tabs(4), (QStringList{"cmdHelp", "cmdCancel", "cmdNext", "lbPorts"}));
    press(Qt::Key_Enter);
    EXPECT_EQ(seen(), QStringLiteral("contProgress cmdNext"));

    auto* timer = win->findChild<QTimer*>(QStringLiteral("Timer1"));
    QString duringRead;
    HeardEvents events;
    steps.duringRead = [&] {
        w.state.sMeterID = QStringLiteral("LG-0042");
        win->wizard().setAnimate(true);
        win->showStep(QStringLiteral("Reading\r\n12"));
        // One tick of Timer1: the line takes a shade of red, the digits turn by one to the right.
        QMetaObject::invokeMethod(timer, "timeout");
        duringRead = seen() + QStringLiteral(" %1 %2 ms ").arg(text("lblAnimate")).arg(timer->interval()) +
                     get<LineShape>("lineAnimate")->borderColor().name() +
                     (timer->isActive() && get("contAnimation")->isVisible() ? " animated" : "");
        win->wizard().setAnimate(false);
    };
    press(Qt::Key_Return);
    // Next is off while the meter is read: the focus waits on Cancel.
    EXPECT_EQ(duringRead, QStringLiteral("contProgress cmdCancel busy 10111101100 70 ms #c80000 animated"));
    EXPECT_FALSE(timer->isActive() || get("contAnimation")->isVisible());

    EXPECT_EQ(steps.exports, 1);
    EXPECT_EQ(seen(), QStringLiteral("contSuccess cmdNext"));
    EXPECT_EQ(text("lblMeterID"), QStringLiteral("LG-0042"));
    EXPECT_EQ(text("lblNoDate"), QStringLiteral("T1232[1]\nT1347"));
    EXPECT_FALSE(get("cmdCancel")->isVisible());
    EXPECT_EQ(get<QPushButton>("cmdNext")->text(), QStringLiteral("T908"));
    // Heard without a move of the focus: the status line and the counts; not the turning digits.
    for (const char* heard : {"lblStepGuide: Reading\n12", "zivUVIvodu: Reading\n12", "lblnBG: T1219 2",
                              "lblnIG: T3041 2", "zivUVIvodu: T1213"})
        EXPECT_TRUE(HeardEvents::heard.contains(QString::fromUtf8(heard))) << heard;
    EXPECT_EQ(HeardEvents::heard.filter(QStringLiteral("lblAnimate")), QStringList());
    // The chart leaves the control test out and names the reading under the pointer.
    auto* chart = get<ReadingsChart>("chartReadings");
    ASSERT_EQ(chart->readings().readings().size(), 1u);
    EXPECT_EQ(chart->accessibleName(), QStringLiteral("T7300"));
    QTest::mouseMove(chart, chart->readingPosition(0).toPoint());
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 5000));
    EXPECT_EQ(QToolTip::text().toStdString(), "31 Jan 2024 06:00: 6.6 mmol/L");

    press(Qt::Key_Escape); // no Cancel on the result page
    EXPECT_TRUE(finished.empty());
    press(Qt::Key_Return);
    EXPECT_EQ(finished, std::vector<bool>{true});
}

TEST_F(WizardWindowTest, AFailedDownloadReturnsToTheIntroductionAndClosesThePort) {
    // No records: silently. No answer: a critical message, when there is a language library to word it.
    const struct {
        bool answers;
        bool library;
        QStringList said;
    } rows[] = {{true, true, {}}, {false, true, {"(!) : T642[BD Logic,3]"}}, {false, false, {}}};
    for (const auto& r : rows) {
        steps.answers = r.answers;
        if (!r.library) w.services.language.reset();
        w.messages.shown.clear();
        const int closes = steps.closes;
        open();
        for (int page = 0; page < 3; ++page)
            next();
        EXPECT_EQ(seen(), QStringLiteral("contIntro cmdNext"));
        EXPECT_EQ(said(), r.said);
        EXPECT_GT(steps.closes, closes);
    }
    EXPECT_EQ(steps.exports, 0);
}

TEST_F(WizardWindowTest, HelpFileIsTakenOnlyWhenItCanBeRead) {
    QTemporaryDir dir;
    w.services.programDir = dir.path();
    const QString help = dir.filePath(QStringLiteral("bdlogic.hlp"));
    ASSERT_TRUE(test::WriteBytes(help, "help"));
    open();
    EXPECT_EQ(win->wizard().screen().helpFile, help);
    // A file that nobody can open for reading, root included: a write-only kernel attribute.
    QFile::remove(help);
    if (!QFile::link(QStringLiteral("/sys/bus/pci/rescan"), help) || !QFileInfo(help).isFile())
        GTEST_SKIP() << "no write-only kernel attribute here";
    open();
    EXPECT_EQ(win->wizard().screen().helpFile, QString());
}

TEST_F(WizardWindowTest, UsbButtonShowsOnlyWithAUsbCableAndStartsUsbcheck) {
    open();
    next();
    EXPECT_FALSE(get("cmdUSBInfo")->isVisible());
    setMachine("USBSerial", "FTDI");
    setMachine("USBKey", "  -vid 0403  ");
    setMachine("USBDriver", "ftdi_sio");
    open();
    next();
    EXPECT_LT(get("lbPorts")->height(), 137); // shortened to make room for the button
    click("cmdUSBInfo");
    EXPECT_EQ(said(), QStringList{"(i) T1387: T1388T1389[ftdi_sio]"});
    EXPECT_EQ(usbStarts, QStringList{"-vid 0403"});
}

TEST_F(WizardWindowTest, CancelDuringTheDownloadEndsWithoutAnImport) {
    steps.produced = 5;
    open();
    next();
    next();
    steps.duringRead = [&] {
        win->wizard().setAnimate(true);
        click("cmdCancel");
    };
    next();
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(steps.exports, 0);
    EXPECT_GE(steps.closes, 1);
    EXPECT_FALSE(win->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// When the import waits for the set-up and when the set-up is offered; the next test shows both on the
// window.
TEST_F(WizardWindowTest, CheckParamsetupBlocksOnlyWithoutAUserSetUpAndOffersItWithConfigureMeter) {
    const struct {
        const char* configure; // nullptr: not stored
        const char* doInit;
        const char* type0;
        bool ok;
    } rows[] = {
        {nullptr, nullptr, nullptr, true}, {"1", "1", nullptr, false}, {"1", "1", "0", true},
        {"0", "1", nullptr, true},         {"1", "0", nullptr, true},  {"abc", "1", nullptr, true},
        {"1", "x", nullptr, true},
    };
    for (const auto& r : rows) {
        test::FakeWorld world;
        test::BdLogicOnCom3(world.state);
        for (const auto& [hive, name, value] :
             {std::tuple{reg::Hive::LocalMachine, "Configure_Meter", r.configure},
              {reg::Hive::LocalMachine, "DoInit", r.doInit},
              {reg::Hive::CurrentUser, "Type0", r.type0}})
            if (value) world.backend.putString(hive, test::kModelKey, name, value);
        Wizard z(world.services, steps, {});
        z.Go();
        SCOPED_TRACE(&r - rows);
        EXPECT_EQ(z.Check_Paramsetup(), r.ok);
        EXPECT_EQ(z.screen().frameSetupVisible, r.configure && r.configure == std::string("1"));
    }
}

TEST_F(WizardWindowTest, SetupByKeysAloneOnABlockedIntroductionUnblocksIt) {
    setMachine("Configure_Meter", "1");
    setMachine("DoInit", "1");
    // Earlier choices: P3 medicines of Metformin, P4 a data type unknown here, a marker comment.
    setMachine("Insulin_Available", "0");
    for (const auto& [name, value] :
         {std::pair{"Type2", "3"}, {"Desc2", "Metformin"}, {"Type3", "7"}, {"Marker", "  party  "}})
        w.backend.putString(reg::Hive::CurrentUser, test::kModelKey, name, value);
    open();
    ASSERT_FALSE(get("cmdNext")->isEnabled());
    auto* label = get<QLabel>("lblSetuptext");
    const auto look = [&] {
        return QStringLiteral("%1 %2%3 at %4 width %5%6")
            .arg(label->text(), label->palette().color(QPalette::WindowText).name(),
                 label->font().bold() ? QStringLiteral(" bold") : QString())
            .arg(label->x())
            .arg(label->width())
            .arg(get("imgdoinit")->isVisible() ? QStringLiteral(" with the warning sign") : QString());
    };
    EXPECT_EQ(look(), QStringLiteral("T1399 #ff0000 bold at 32 width 185 with the warning sign"));
    EXPECT_EQ(seen(), QStringLiteral("contIntro cmdSetup"));

    // Space opens the set-up; Escape leaves it without saving.
    inSetup([&] { press(Qt::Key_Escape); }, Qt::Key_Space);
    EXPECT_EQ(w.backend.writes, 0);
    EXPECT_EQ(seen(), QStringLiteral("contIntro cmdSetup"));

    // Again: shown over the pages, walked by Tab in reading order; Space takes blood glucose off, P2 becomes
    // a meal of bread; Enter is OK.
    QString during;
    QStringList order;
    const QStringList want = {"cmdNext",   "Check1_0",     "Check1_1", "cbDataType_0", "cbType_0",
                              "txtIG_0",   "cbDataType_1", "cbType_1", "txtIG_1",      "cbDataType_2",
                              "txtIG_2",   "cbDataType_3", "cbType_3", "txtIG_3",      "txtMarker",
                              "cmdCancel", "cmdNext"};
    inSetup(
        [&] {
            during = seen();
            order << focus() << tabs(want.size() - 1);
            tabs(1);
            press(Qt::Key_Space);
            tabs(5);
            press(Qt::Key_Down);
            EXPECT_EQ(text("lblDataTypeDesc_1"), QStringLiteral("T5107")); // a meal's unit
            tabs(1); // past the insulin list, which a meal does not have
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Bread"));
            press(Qt::Key_Return);
        },
        Qt::Key_Return); // a focused button takes Enter itself
    EXPECT_EQ(during, QStringLiteral("picSetup cmdNext"));
    EXPECT_EQ(order, want);
    EXPECT_EQ(win->picSetup()->findChild<QWidget*>(QStringLiteral("contSetup")), nullptr);
    // The earlier choices kept, the unknown data type not overwritten; the defaults where nothing was chosen.
    EXPECT_EQ(
        storedSetup(),
        QStringLiteral(R"(Desc0=" " Desc1="Bread" Desc2="Metformin" Desc3=" " Glucose_Available="0" )"
                       R"(Insulin_Available="0" Marker="party" Type0="0" Type1="1" Type2="3" Type3="7" )"
                       R"(Type_Insulin0="9" Type_Insulin1="10" Type_Insulin2="13" Type_Insulin3="2")"));
    EXPECT_EQ(seen(), QStringLiteral("contIntro cmdNext"));
    EXPECT_EQ(look(), QStringLiteral("T1260 #000000 at 8 width 142"));
    press(Qt::Key_Escape);
    EXPECT_EQ(finished, std::vector<bool>{true});
}

TEST_F(WizardWindowTest, ClosingTheWindowIsCancelAlsoDuringTheSetup) {
    unloadOnFinish = false;
    open();
    EXPECT_FALSE(win->close()); // the program decides when the window goes
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_TRUE(win->isVisible());

    // Closed while the set-up is shown: the program ends, and with it the set-up's wait; nothing is stored.
    unloadOnFinish = true;
    setMachine("Configure_Meter", "1");
    open();
    inSetup([&] { win->close(); });
    EXPECT_EQ(finished, (std::vector<bool>{true, true}));
    EXPECT_LT(w.pump.now(), 60000u);
    EXPECT_EQ(win->picSetup()->findChild<QWidget*>(QStringLiteral("contSetup")), nullptr);
    EXPECT_FALSE(w.state.bSetupPending);
    EXPECT_EQ(storedSetup(), QString());
    EXPECT_GE(steps.closes, 1);
}

TEST_F(WizardWindowTest, ALargeSystemFontGrowsTheWindowAndCutsNoText) {
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSize(18);
    QApplication::setFont(large);
    w.services.language =
        LanguagePack::load(QStringLiteral(BDLOGIC_SOURCE_DIR "/src/resources/lang/Deutsch.lng"));
    setMachine("Configure_Meter", "1");
    setMachine("DoInit", "1");
    setMachine("USBSerial", "FTDI");
    steps.produced = 33;
    steps.records.iNoDateCount = 2;
    open();
    EXPECT_EQ(win->size(), QSize(559, 250) * 2);
    for (QWidget* control :
         win->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^(cmd|lbl|lb|cb|txt)"))))
        EXPECT_EQ(control->font().family(), QStringLiteral("Arial")) << control->objectName().toStdString();
    EXPECT_EQ(CutTexts(*win), QStringList());
    inSetup([&] {
        EXPECT_EQ(CutTexts(*win), QStringList()) << "set-up";
        next(); // OK
    });
    for (const char* page : {"ports", "guide", "result"}) {
        next();
        EXPECT_EQ(CutTexts(*win), QStringList()) << page;
    }
    QApplication::setFont(normal);
}

} // namespace
} // namespace bdlogic
