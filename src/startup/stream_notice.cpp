#include "stream_notice.h"

#include <QRegularExpression>

namespace bdlogic {

QString OneLine(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QString line = text;
    line.replace(breaks, QStringLiteral(" / "));
    return line;
}

void StreamMessageBox::show(const QString& text, const QString&, MessageIcon) {
    std::fprintf(stream_, "%s\n", OneLine(text).toLocal8Bit().constData());
    std::fflush(stream_);
}

void StreamStatusLine::showStep(const QString& text) {
    if (text == last_ || text.isEmpty()) return;
    last_ = text;
    std::fprintf(stream_, "%s\n", OneLine(text).toLocal8Bit().constData());
    std::fflush(stream_);
}

} // namespace bdlogic
