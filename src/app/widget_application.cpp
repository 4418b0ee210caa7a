#include "widget_application.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace bdlogic {

namespace {

// A display that accepts the connection but never answers would keep Qt waiting for good.
constexpr auto kDisplayTimeout = std::chrono::seconds(10);

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

std::mutex gMutex; // the held messages and the end of the process, between the UI thread and the watchdog
std::vector<HeldMessage> gHeld;

// The platform's own words for the failure: its first message from a platform category, else `fallback`.
QString Reason(const QString& fallback) {
    for (const HeldMessage& m : gHeld)
        if (m.category.startsWith("qt.qpa")) return m.text;
    return fallback;
}

[[noreturn]] void NoDisplay(const QString& reason) {
    const QString line = QStringLiteral("bdlogic: no display could be opened (%1); use --batch to import "
                                        "without windows")
                             .arg(reason.section(u'\n', 0, 0).trimmed());
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    // Not exit(): the application object is half built, and nothing of the program needs to be saved yet.
    std::_Exit(kExitNoDisplay);
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    std::lock_guard lock(gMutex);
    if (type == QtFatalMsg) NoDisplay(Reason(text));
    gHeld.push_back({type, QByteArray(context.category), text});
}

} // namespace

std::unique_ptr<QApplication> OpenWidgetApplication(int& argc, char** argv) {
    bool opened = false;
    std::condition_variable done;
    std::thread watchdog([&] {
        std::unique_lock lock(gMutex);
        if (!done.wait_for(lock, kDisplayTimeout, [&] { return opened; }))
            NoDisplay(QStringLiteral("the display did not answer within %1 s").arg(kDisplayTimeout.count()));
    });
    const QtMessageHandler previous = qInstallMessageHandler(HoldMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    {
        std::lock_guard lock(gMutex);
        opened = true;
    }
    done.notify_one();
    watchdog.join();
    for (const HeldMessage& m : gHeld) {
        const QMessageLogContext context(nullptr, 0, nullptr,
                                         m.category.isEmpty() ? nullptr : m.category.constData());
        qt_message_output(m.type, context, m.text);
    }
    gHeld.clear();
    return app;
}

} // namespace bdlogic
