#include "transcript.h"

namespace bdlogic::sim {

namespace {

constexpr qsizetype kBytesPerLine = 24;

QByteArray Hex(QByteArrayView bytes) { return bytes.toByteArray().toHex(' ').toUpper(); }

// Strict: two hex digits per byte, separated by blanks; nothing for anything else.
std::optional<QByteArray> FromHex(const QByteArray& text) {
    QByteArray out;
    for (const QByteArray& pair : text.simplified().split(' ')) {
        if (pair.isEmpty()) continue;
        bool ok = false;
        const uint value = pair.toUInt(&ok, 16);
        if (pair.size() != 2 || !ok) return std::nullopt;
        out.append(static_cast<char>(value));
    }
    return out;
}

} // namespace

bool TranscriptWriter::open(const QString& path, QString* error) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error) *error = file_.errorString();
        return false;
    }
    writeLine("# bdlogic-meter-sim transcript: \"> \" command from the driver, \"< \" bytes of the meter's answer");
    return true;
}

void TranscriptWriter::command(std::uint8_t code) {
    writeLine("> 00 " + Hex(QByteArray(1, static_cast<char>(code))));
}

void TranscriptWriter::answer(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); i += kBytesPerLine)
        writeLine("< " + Hex(QByteArrayView(bytes).sliced(i, std::min(kBytesPerLine, bytes.size() - i))));
}

void TranscriptWriter::writeLine(const QByteArray& line) {
    if (!file_.isOpen()) return;
    file_.write(line + '\n');
    // A session that ends by a kill or a dropped line is still on disk.
    file_.flush();
}

std::optional<TranscriptReplay> TranscriptReplay::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    return parse(file.readAll(), error);
}

std::optional<TranscriptReplay> TranscriptReplay::parse(const QByteArray& text, QString* error) {
    TranscriptReplay replay;
    QByteArray* current = nullptr;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const auto bytes = FromHex(line.mid(1));
        const bool isCommand = line.startsWith('>');
        if (!bytes || !(isCommand || line.startsWith('<')) ||
            (isCommand && (bytes->size() != 2 || bytes->at(0) != '\0')) || (!isCommand && !current)) {
            if (error) *error = QStringLiteral("line %1: not a transcript line").arg(i + 1);
            return std::nullopt;
        }
        if (isCommand) {
            auto& list = replay.answers_[static_cast<std::uint8_t>(bytes->at(1))];
            list.append(QByteArray());
            current = &list.last();
        } else {
            current->append(*bytes);
        }
    }
    return replay;
}

QByteArray TranscriptReplay::reply(std::uint8_t code) {
    const auto found = answers_.find(code);
    if (found == answers_.end() || found->second.isEmpty()) return {};
    const QList<QByteArray>& list = found->second;
    const qsizetype n = used_[code]++;
    return n < list.size() ? list[n] : list.last();
}

} // namespace bdlogic::sim
