#include "widget_message_box.h"

#include <QApplication>

namespace bdlogic {

namespace {
QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const QString& text, const QString& title, MessageIcon icon,
                                             const QString& appTitle) {
    QString caption = title;
    if (caption.isEmpty()) caption = appTitle;
    if (caption.isEmpty()) caption = QCoreApplication::applicationName();
    // The texts use CR LF for their line breaks; Qt wants LF alone.
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto box = std::make_unique<QMessageBox>(BoxIcon(icon), caption, body, QMessageBox::Ok,
                                             QApplication::activeWindow());
    box->setTextFormat(Qt::PlainText);
    // The wizard is topmost: a box that is not would open behind it.
    box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return box;
}

void WidgetMessageBox::show(const QString& text, const QString& title, MessageIcon icon) {
    // A message in the middle of a busy step gets the normal pointer; the hourglass comes back afterwards.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    BuildMessageBox(text, title, icon, state_.appTitle)->exec();
    if (busy) QApplication::restoreOverrideCursor();
}

} // namespace bdlogic
