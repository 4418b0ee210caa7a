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

// A control as the designer leaves it: a name, a tag and a German text.
template <typename T> T* Tagged(QWidget* parent, const char* name, const char* tag, const char* text) {
    auto* control = new T(QString::fromUtf8(text), parent);
    control->setObjectName(QLatin1String(name));
    SetTag(control, QLatin1String(tag));
    return control;
}

TEST(LocaliseWidgetsTest, TagsGiveCaptionsToolTipsAndTheFont) {
    QWidget window;
    SetTag(&window, QStringLiteral("L1200"));
    auto* next = Tagged<QPushButton>(&window, "cmdNext", "L905", "&Weiter >>");
    auto* tipOnly = Tagged<QPushButton>(&window, "cmdTip", "L906", "&Hilfe");
    auto* group = Tagged<QGroupBox>(&window, "frOptions", "L700", "Optionen");
    auto* label = Tagged<QLabel>(group, "Label2", "L1202", "Schnittstelle");
    auto* box = Tagged<QCheckBox>(group, "Check1_0", "L516", "Blut&zucker");
    auto* lowerCase = Tagged<QLabel>(&window, "lblLower", "l1202", "bleibt");
    auto* missing = Tagged<QLabel>(&window, "lblMissing", "L4242", "Designer");
    auto* pipe = Tagged<QLabel>(&window, "lblPipe", "L1300", "x");
    auto* unnamed = new QLabel(QStringLiteral("unnamed"), &window);

    const auto texts =
        LanguagePack::fromText(QStringLiteral("905=&Next >>|Go on\n906=|Only a tip\n1202=Choose a "
                                              "port.\n1300=A|B\n516=Blood &glucose\n700=Options\n"
                                              "1200=Data import\n"));
    LocaliseForm(texts.get(), window);
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
    EXPECT_EQ(pipe->text(), QStringLiteral("A|B")); // only buttons split their text
    for (QWidget* w : {static_cast<QWidget*>(next), static_cast<QWidget*>(label), static_cast<QWidget*>(box),
                       static_cast<QWidget*>(missing)})
        EXPECT_EQ(w->font().family(), QStringLiteral("Arial")) << w->objectName().toStdString();
    EXPECT_NE(unnamed->font().family(), QStringLiteral("Arial"));

    // Without a library only the font changes; a window tag without a known id keeps the caption.
    QWidget german;
    german.setWindowTitle(QStringLiteral("Designer"));
    SetTag(&german, QStringLiteral("L999"));
    auto* cancel = Tagged<QPushButton>(&german, "cmdCancel", "L901", "&Abbrechen");
    LocaliseForm(nullptr, german);
    EXPECT_EQ(cancel->text(), QStringLiteral("&Abbrechen"));
    EXPECT_EQ(cancel->font().family(), QStringLiteral("Arial"));
    LocaliseForm(texts.get(), german);
    EXPECT_EQ(german.windowTitle(), QStringLiteral("Designer"));
}

} // namespace
} // namespace bdlogic
