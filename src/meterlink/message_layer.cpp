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

// The end of the download that a collection's outcome means; nothing when the series goes on.
std::optional<LinkEnd> LinkEndOf(Collection outcome) {
    switch (outcome) {
    case Collection::Silent: return LinkEnd::MeterSilent;
    case Collection::PortLost: return LinkEnd::PortLost;
    case Collection::Stopped: return LinkEnd::Stopped;
    case Collection::Complete:
    case Collection::TooLong: break;
    }
    return std::nullopt;
}

} // namespace

void MessageLayer::show_step(const QString& text) { services_.status.showStep(text); }

Exchange MessageLayer::read_blocks(int base, const QStringList& markers, int headerId, int progressId) {
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

    Exchange series;
    int& k = series.part.blocks;
    qsizetype total = 0;
    int failures = 0;
    const auto showProgress = [&](const QByteArray& answer) {
        const qsizetype n = CountMarkers(answer, markerBytes) - 1 + weight * total;
        if (n <= 0) return;
        const auto head = loadres(texts, progressId);
        const auto count = loadres(texts, kProgressTextId, {QString::number(n)});
        if (head && count) show_step(*head + QStringLiteral("\r\n") + *count);
    };
    LinkEnd end = LinkEnd::Complete;
    while (k < kBlocksPerSeries && end == LinkEnd::Complete) {
        if (pump.stopRequested()) {
            end = LinkEnd::Stopped;
            break;
        }
        QByteArray answer;
        port_.output(MeterCommand(static_cast<std::uint8_t>(base + k)));
        const Collection outcome = CollectAnswer(port_, pump, answer, showProgress);
        if (outcome == Collection::Complete && check_crc(answer)) {
            ++k;
            series.text += answer;
            total = CountMarkers(series.text, markerBytes) - 1;
            failures = 0;
        } else if (++failures == kMaxFailures) {
            end = LinkEnd::ChecksFailed;
        }
        // The next command starts on an empty receive buffer.
        port_.clearInput();
        (void)port_.input();
        if (const auto gone = LinkEndOf(outcome)) end = *gone;
    }
    series.part.end = end;
    return series;
}

Exchange MessageLayer::read_info() {
    EventPump& pump = services_.pump;
    if (pump.stopRequested()) return {{}, {0, LinkEnd::Stopped}};
    Exchange info;
    port_.output(MeterCommand(kInfoCommand));
    const Collection outcome = CollectAnswer(port_, pump, info.text);
    if (outcome == Collection::Stopped) info.text.clear();
    const bool complete = outcome == Collection::Complete;
    info.part = {complete ? 1 : 0, complete ? LinkEnd::Complete : LinkEndOf(outcome).value_or(LinkEnd::ChecksFailed)};
    return info;
}

} // namespace bdlogic
