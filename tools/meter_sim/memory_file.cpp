#include "memory_file.h"

#include <QFile>
#include <QRegularExpression>

namespace bdlogic::sim {

std::optional<MeterMemory> ParseMemory(const QByteArray& text, QString* error) {
    MeterMemory memory;
    bool wakeGiven = false;
    QList<QByteArray>* section = nullptr;
    static const QRegularExpression header(QStringLiteral(R"(^\[\s*(wake|info|glucose|marker)(?:\s+(\d+))?\s*\]$)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Meter lines may begin with blanks (" 95" is a value); only the end of a line is trimmed.
        QByteArray line = lines[i];
        while (!line.isEmpty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.chop(1);
        const QByteArray lead = line.trimmed();
        if (lead.isEmpty() || lead.startsWith('#')) continue;
        const auto fail = [&](const QString& why) {
            if (error) *error = QStringLiteral("line %1: %2").arg(i + 1).arg(why);
            return std::nullopt;
        };
        if (lead.startsWith('[')) {
            const auto m = header.match(QString::fromLatin1(lead));
            if (!m.hasMatch()) return fail(QStringLiteral("unknown section %1").arg(QString::fromLatin1(lead)));
            const QString kind = m.captured(1).toLower();
            const bool numbered = kind == u"glucose" || kind == u"marker";
            if (numbered && !m.hasCaptured(2)) return fail(QStringLiteral("[%1] needs a block number").arg(kind));
            if (!numbered && m.hasCaptured(2)) return fail(QStringLiteral("[%1] takes no block number").arg(kind));
            if (kind == u"wake") {
                if (!wakeGiven) memory.wake.clear();
                section = &memory.wake;
                wakeGiven = true;
            } else if (kind == u"info") {
                section = &memory.info;
            } else {
                const int block = m.captured(2).toInt();
                if (block >= kBlocks) return fail(QStringLiteral("block number %1 is not 0..8").arg(block));
                section = &(kind == u"glucose" ? memory.glucose : memory.marker)[static_cast<std::size_t>(block)];
            }
            continue;
        }
        if (!section) return fail(QStringLiteral("a meter line before the first section"));
        section->append(line);
    }
    return memory;
}

std::optional<MeterMemory> LoadMemory(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    return ParseMemory(file.readAll(), error);
}

} // namespace bdlogic::sim
