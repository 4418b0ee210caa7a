// The start-up widgets: the wait cursor, message boxes, localisation over widgets.
#include "importfile/widget_busy_cursor.h"
#include "startup/language.h"
#include "startup/localise_widgets.h"
#include "startup/widget_message_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

TEST(WidgetBusyCursorTest, ShowsTheHourglassOnceAndTakesBackOnlyItsOwn) {
    QApplication::setOverrideCursor(Qt::CrossCursor); // someone else's
    {
        WidgetBusyCursor cursor;
        cursor.set(true);
        cursor.set(true);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        cursor.set(false);
        cursor.set(false);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
        cursor.set(true);
    }
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor) << "gone with the object";
    QApplication::restoreOverrideCursor();
}

TEST(WidgetMessageBoxTest, TitleIconAndLineBreaks) {
    const QString program = QCoreApplication::applicationName();
    ASSERT_FALSE(program.isEmpty());
    const struct {
        QString title, appTitle;
        MessageIcon icon;
        QString wantTitle;
        QMessageBox::Icon wantIcon;
    } rows[] = {
        {"BD Logic", "Import BD Logic", MessageIcon::Information, "BD Logic", QMessageBox::Information},
        {"", "Import BD Logic", MessageIcon::Critical, "Import BD Logic", QMessageBox::Critical},
        {"", "", MessageIcon::None, program, QMessageBox::NoIcon}};
    for (const auto& r : rows) {
        const auto box = BuildMessageBox(QStringLiteral("one\r\ntwo"), r.title, r.icon, r.appTitle);
        EXPECT_EQ(box->windowTitle() + u'|' + box->text(), r.wantTitle + QStringLiteral("|one\ntwo"));
        EXPECT_EQ(box->icon(), r.wantIcon);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
}

TEST(LocaliseWidgetsTest, TagsGiveCaptionsToolTipsAndTheFont) {
    QWidget window;
    SetTag(&window, QStringLiteral("L1200"));
    // A control as the designer leaves it: the text "Designer", its tag also its name.
    const auto designed = [](QWidget* control, const char* tag) {
        control->setObjectName(QLatin1String(tag));
        SetTag(control, QLatin1String(tag));
        return control;
    };
    const struct {
        QWidget* control;
        const char* caption;
        const char* tip;
    } rows[] = {
        {designed(new QPushButton(QStringLiteral("Designer"), &window), "L905"), "&Next >>", "Go on"},
        {designed(new QPushButton(QStringLiteral("Designer"), &window), "L906"), "Designer", "Only a tip"},
        {designed(new QLabel(QStringLiteral("Designer"), &window), "L1202"), "Choose a port.", ""},
        {designed(new QLabel(QStringLiteral("Designer"), &window), "L1300"), "A|B", ""}, // only buttons split
        {designed(new QLabel(QStringLiteral("Designer"), &window), "L4242"), "Designer", ""}, // no such text
        {designed(new QCheckBox(QStringLiteral("Designer"), &window), "L516"), "Blood &glucose", ""},
        {designed(new QGroupBox(QStringLiteral("Designer"), &window), "L700"), "Options", ""},
    };
    const auto caption = [](QWidget* w) {
        return w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text");
    };
    auto* unnamed = new QLabel(&window);

    LocaliseForm(nullptr, window); // without a library only the font changes
    for (const auto& r : rows)
        EXPECT_EQ(caption(r.control), QStringLiteral("Designer")) << r.control->objectName().toStdString();
    LocaliseForm(LanguagePack::fromText(
                     QStringLiteral("905=&Next >>|Go on\n906=|Only a tip\n1202=Choose a port.\n"
                                    "1300=A|B\n516=Blood &glucose\n700=Options\n1200=Data import\n"))
                     .get(),
                 window);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Data import"));
    for (const auto& r : rows) {
        SCOPED_TRACE(r.control->objectName().toStdString());
        EXPECT_EQ(caption(r.control), QString::fromUtf8(r.caption));
        EXPECT_EQ(r.control->toolTip(), QLatin1String(r.tip));
        EXPECT_EQ(r.control->font().family(), QStringLiteral("Arial"));
    }
    EXPECT_NE(unnamed->font().family(), QStringLiteral("Arial"));
}

} // namespace
} // namespace bdlogic
