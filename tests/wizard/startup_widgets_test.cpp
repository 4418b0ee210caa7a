// The start-up window's widgets: message boxes, topmost windows, localisation over widgets, frmMain.
#include "startup/frm_main.h"
#include "startup/localise_widgets.h"
#include "startup/set_topmost.h"
#include "startup/widget_message_box.h"
#include "support/services_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

TEST(WidgetMessageBoxTest, TitleIconAndLineBreaks) {
    const struct {
        QString title;
        QString appTitle;
        MessageIcon icon;
        QString wantTitle;
        QMessageBox::Icon wantIcon;
    } cases[] = {
        {QStringLiteral("BD Logic"), QStringLiteral("Import BD Logic"), MessageIcon::Information,
         QStringLiteral("BD Logic"), QMessageBox::Information},
        {QString(), QStringLiteral("Import BD Logic"), MessageIcon::Critical,
         QStringLiteral("Import BD Logic"), QMessageBox::Critical},
        {QString(), QString(), MessageIcon::None, QCoreApplication::applicationName(), QMessageBox::NoIcon},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wantTitle.toStdString());
        const auto box = BuildMessageBox(QStringLiteral("one\r\ntwo"), c.title, c.icon, c.appTitle);
        EXPECT_EQ(box->windowTitle(), c.wantTitle);
        EXPECT_EQ(box->icon(), c.wantIcon);
        EXPECT_EQ(box->text(), QStringLiteral("one\ntwo"));
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
    EXPECT_FALSE(QCoreApplication::applicationName().isEmpty());
}

TEST(SetTopmostTest, ShownWindowStaysShown) {
    QWidget window;
    window.show();
    SetTopmost(&window);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
    SetTopmost(nullptr);
}

class EnglishTexts : public Language {
public:
    std::optional<QString> loadres(int id, const QStringList&) const override {
        switch (id) {
        case 905:
            return QStringLiteral("&Next >>|Go on");
        case 906:
            return QStringLiteral("|Only a tip");
        case 1202:
            return QStringLiteral("Choose a port.");
        case 516:
            return QStringLiteral("Blood &glucose");
        case 700:
            return QStringLiteral("Options");
        case 1200:
            return QStringLiteral("Data import");
        default:
            return std::nullopt;
        }
    }
};

TEST(LocaliseWidgetsTest, TagsGiveCaptionsToolTipsAndTheFont) {
    QWidget window;
    SetTag(&window, QStringLiteral("L1200"));
    auto* next = new QPushButton(QStringLiteral("&Weiter >>"), &window);
    next->setObjectName(QStringLiteral("cmdNext"));
    SetTag(next, QStringLiteral("L905"));
    auto* tipOnly = new QPushButton(QStringLiteral("&Hilfe"), &window);
    tipOnly->setObjectName(QStringLiteral("cmdTip"));
    SetTag(tipOnly, QStringLiteral("L906"));
    auto* group = new QGroupBox(QStringLiteral("Optionen"), &window);
    group->setObjectName(QStringLiteral("frOptions"));
    SetTag(group, QStringLiteral("L700"));
    auto* label = new QLabel(QStringLiteral("Schnittstelle"), group);
    label->setObjectName(QStringLiteral("Label2"));
    SetTag(label, QStringLiteral("L1202"));
    auto* box = new QCheckBox(QStringLiteral("Blut&zucker"), group);
    box->setObjectName(QStringLiteral("Check1_0"));
    SetTag(box, QStringLiteral("L516"));
    auto* lowerCase = new QLabel(QStringLiteral("bleibt"), &window);
    lowerCase->setObjectName(QStringLiteral("lblLower"));
    SetTag(lowerCase, QStringLiteral("l1202"));
    auto* missing = new QLabel(QStringLiteral("Designer"), &window);
    missing->setObjectName(QStringLiteral("lblMissing"));
    SetTag(missing, QStringLiteral("L4242"));
    auto* unnamed = new QLabel(QStringLiteral("unnamed"), &window);

    const EnglishTexts texts;
    LocaliseForm(&texts, window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Data import"));
    EXPECT_EQ(next->text(), QStringLiteral("&Next >>"));
    EXPECT_EQ(next->toolTip(), QStringLiteral("Go on"));
    EXPECT_EQ(tipOnly->text(), QStringLiteral("&Hilfe"));
    EXPECT_EQ(tipOnly->toolTip(), QStringLiteral("Only a tip"));
    EXPECT_EQ(group->title(), QStringLiteral("Options"));
    EXPECT_EQ(label->text(), QStringLiteral("Choose a port."));
    EXPECT_EQ(box->text(), QStringLiteral("Blood &glucose"));
    EXPECT_EQ(lowerCase->text(), QStringLiteral("bleibt"));
    EXPECT_EQ(missing->text(), QStringLiteral("Designer"));
    for (QWidget* w : {static_cast<QWidget*>(next), static_cast<QWidget*>(label), static_cast<QWidget*>(box),
                       static_cast<QWidget*>(missing)})
        EXPECT_EQ(w->font().family(), QStringLiteral("Arial")) << w->objectName().toStdString();
    EXPECT_NE(unnamed->font().family(), QStringLiteral("Arial"));

    // Without a library only the font changes.
    QWidget german;
    auto* cancel = new QPushButton(QStringLiteral("&Abbrechen"), &german);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    SetTag(cancel, QStringLiteral("L901"));
    LocaliseForm(nullptr, german);
    EXPECT_EQ(cancel->text(), QStringLiteral("&Abbrechen"));
    EXPECT_EQ(cancel->font().family(), QStringLiteral("Arial"));
}

TEST(FrmMainTest, SmallTopmostWindowWithTheTitleInItsStatusLabel) {
    test::FakeWorld w;
    FrmMain frm(w.services);
    frm.showTitle(QStringLiteral("BD Logic Data Import"));
    EXPECT_EQ(frm.objectName(), QStringLiteral("frmMain"));
    EXPECT_TRUE(frm.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ASSERT_NE(frm.findChild<QLabel*>(QStringLiteral("status")), nullptr);
    EXPECT_EQ(frm.findChild<QLabel*>(QStringLiteral("status"))->text(),
              QStringLiteral("BD Logic Data Import"));
}

TEST(FrmMainTest, SetupWaitEndsWhenTheProgramEnds) {
    test::FakeWorld w;
    w.state.sRegPath = QStringLiteral("SOFTWARE\\Corvane\\H\\modules\\");
    w.state.sRegkey = QStringLiteral("BD Logic");
    FrmMain frm(w.services);
    QWidget host;
    host.resize(420, 226);
    host.show();
    w.pump.at(1000, [&] { w.pump.requestStop(); });
    frm.CallSetup(&host);
    EXPECT_FALSE(w.state.bSetupPending);
    EXPECT_FALSE(host.isVisible());
    EXPECT_EQ(host.findChild<QWidget*>(QStringLiteral("contSetup")), nullptr);
    EXPECT_EQ(w.backend.writes, 0);
    EXPECT_GE(w.pump.now(), 1000u);
}

} // namespace
} // namespace bdlogic
