#include "line_settings.h"

#include <QStringList>

namespace bdlogic {

std::optional<LineSettings> ParseLineSettings(const QString& text) {
    const QStringList f = text.split(u',');
    if (f.size() != 4) return std::nullopt;
    LineSettings s;
    bool ok = false;
    s.baud = f[0].trimmed().toInt(&ok);
    if (!ok || s.baud <= 0) return std::nullopt;
    const QString parity = f[1].trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("NOEMS").contains(parity)) return std::nullopt;
    s.parity = parity[0].toLatin1();
    s.dataBits = f[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8) return std::nullopt;
    const QString stop = f[3].trimmed();
    if (stop == u"1") s.stopBits10 = 10;
    else if (stop == u"1.5") s.stopBits10 = 15;
    else if (stop == u"2") s.stopBits10 = 20;
    else return std::nullopt;
    return s;
}

} // namespace bdlogic
