#include "message_layer.h"

#include "answer_collector.h"
#include "meter_commands.h"

namespace bdlogic {

namespace {

constexpr int kMaxFailures = 3; // consecutive failed attempts on one block end the series
constexpr int kWaitTextId = 1207;
constexpr int kProgressTextId = 1217;

qsizetype CountMarkers(const QByteArray& text, const QList<QByteArray>& markers) {
    qsizetype n = 0;
    for (const QByteArray& m : markers) n += text.count(m);
    return n;
}

} // namespace

void MessageLayer::show_step(const QString& text) { services_.status.showStep(text); }

QByteArray MessageLayer::read_blocks(int base, const QStringList& markers, int headerId, int progressId) {
    const Language* texts = services_.texts();
    EventPump& pump = services_.pump;
    {
        const auto header = loadres(texts, headerId);
        const auto wait = loadres(texts, kWaitTextId);
        if (header && wait) show_step(*header + QStringLiteral("\r\n") + *wait);
    }
    QList<QByteArray> markerBytes;
    for (const QString& m : markers) markerBytes << m.toLatin1();
    // In the marker memory every entry is counted twice by the progress display.
    const qsizetype weight = base == kMarkerBase ? 2 : 1;
    // A base whose blocks are not byte codes has no commands: nothing can be read.
    if (base < 0 || base + kBlocksPerSeries - 1 > 0xFF) return {};

    QByteArray text;
    qsizetype total = 0;
    int failures = 0;
    int k = 0;
    const auto showProgress = [&](const QByteArray& answer) {
        const qsizetype n = CountMarkers(answer, markerBytes) - 1 + weight * total;
        if (n <= 0) return;
        const auto head = loadres(texts, progressId);
        const auto count = loadres(texts, kProgressTextId, {QString::number(n)});
        if (head && count) show_step(*head + QStringLiteral("\r\n") + *count);
    };
    while (k < kBlocksPerSeries && failures < kMaxFailures) {
        if (pump.stopRequested()) break;
        QByteArray answer;
        port_.output(MeterCommand(static_cast<std::uint8_t>(base + k)));
        const Collection outcome = CollectAnswer(port_, pump, answer, showProgress);
        if (outcome == Collection::Complete && check_crc(answer)) {
            ++k;
            text += answer;
            total = CountMarkers(text, markerBytes) - 1;
            failures = 0;
        } else {
            ++failures;
        }
        // The next command starts on an empty receive buffer.
        port_.clearInput();
        (void)port_.input();
        if (outcome == Collection::Stopped) break;
    }
    return text;
}

QByteArray MessageLayer::read_info() {
    EventPump& pump = services_.pump;
    if (pump.stopRequested()) return {};
    QByteArray answer;
    port_.output(MeterCommand(kInfoCommand));
    if (CollectAnswer(port_, pump, answer) == Collection::Stopped) return {};
    return answer;
}

} // namespace bdlogic
