// The wizard window as the program opens it, over a faked world and scripted meter work, used as a user uses
// it: clicks and keys, and a look at the page, the focus and the messages shown.
#pragma once

#include "fake_import_steps.h"
#include "memory/frm_setup_bdlogic.h"
#include "startup/frm_main.h"
#include "support/services_fixture.h"
#include "wizard/ziv_uvivodu.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// Failures show texts, not their bytes.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace bdlogic::test {

inline const std::string kModelKey = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

class WizardWindow : public ::testing::Test {
protected:
    WizardWindow() {
        w.useEchoLanguage();
        BdLogicOnCom3(w.state);
    }
    ~WizardWindow() override {
        if (win) win->Unload();
    }

    void setMachine(const char* name, const char* value) {
        w.backend.putString(reg::Hive::LocalMachine, kModelKey, name, value);
    }
    // What the set-up stored for the user, as name="value" in the order of the names.
    QString storedSetup() {
        QStringList values;
        for (const std::string& name : w.backend.valueNames(reg::Hive::CurrentUser, kModelKey))
            values << QString::fromStdString(
                name + "=\"" + w.backend.string(reg::Hive::CurrentUser, kModelKey, name).value_or("?") + '"');
        values.sort();
        return values.join(u' ');
    }
    void open() {
        if (win) win->Unload();
        // The program's end, as frmMain's iFinished ends it: the window goes and every wait stops.
        const auto iFinished = [this](bool end) {
            finished.push_back(end);
            if (!end || !unloadOnFinish) return;
            win->Unload();
            w.pump.requestStop();
        };
        win = std::make_unique<ZivUVIvodu>(
            w.services, steps,
            ZivUVIvodu::Hooks{iFinished, [this](QWidget* container) { frmMain.CallSetup(container); },
                              [this](const QString& parameters) { usbStarts << parameters; },
                              [] { return 200; }});
        win->Go();
        EXPECT_TRUE(QTest::qWaitForWindowActive(win.get())); // keys go to the active window
    }
    // Opens the set-up by a click on its button, or by `key` where the focus is, and runs `action` while it
    // is shown; a set-up left open ends 60 s later.
    void inSetup(const std::function<void()>& action, Qt::Key key = Qt::Key_unknown) {
        w.pump.at(w.pump.now() + 100, action);
        w.pump.at(w.pump.now() + 60000, [this] { w.pump.requestStop(); });
        if (key == Qt::Key_unknown)
            click("cmdSetup");
        else
            press(key);
    }

    // A control of the wizard, or of the set-up while it is shown.
    template <typename T = QWidget> T* get(const char* name) {
        QWidget* in = win->picSetup()->isVisible() ? win->picSetup() : win.get();
        T* control = in->findChild<T*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString text(const char* label) { return get<QLabel>(label)->text(); }
    void click(const char* button) { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }
    void next() { click("cmdNext"); }
    // A key where the keyboard focus is, as the user presses it.
    void press(Qt::Key key) {
        ASSERT_NE(QApplication::focusWidget(), nullptr) << "no keyboard focus for " << key;
        QTest::keyClick(QApplication::focusWidget(), key);
    }
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
    // The page on top, where the focus is, and " busy" while the hourglass shows.
    QString seen() {
        QString page;
        for (QObject* child : win->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (w && w->isVisible() &&
                (w->objectName().startsWith(QLatin1String("cont")) || w == win->picSetup()))
                page = w->objectName();
        }
        return page + u' ' + focus() + (QApplication::overrideCursor() ? QStringLiteral(" busy") : QString());
    }
    // The messages shown, each as "(i) title: text" or "(!) title: text" for a critical one.
    QStringList said() {
        QStringList out;
        for (const auto& m : w.messages.shown)
            out << (m.icon == MessageIcon::Critical ? QStringLiteral("(!) ") : QStringLiteral("(i) ")) +
                       m.title + QStringLiteral(": ") + m.text;
        return out;
    }

    FakeWorld w;
    FakeImportSteps steps;
    FrmMain frmMain{w.services, [this] { return std::make_unique<FrmSetupBDlogic>(w.services); }};
    std::vector<bool> finished;
    bool unloadOnFinish = true;
    QStringList usbStarts;
    std::unique_ptr<ZivUVIvodu> win;
};

} // namespace bdlogic::test
