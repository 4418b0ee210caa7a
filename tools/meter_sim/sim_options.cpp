#include "sim_options.h"

#include <QCommandLineParser>

namespace bdlogic::sim {

namespace {

// A command code in hex, "84" or "0x84".
std::optional<std::uint8_t> ParseCode(QString text) {
    if (text.startsWith(u"0x", Qt::CaseInsensitive)) text = text.mid(2);
    bool ok = false;
    const uint code = text.toUInt(&ok, 16);
    if (!ok || text.isEmpty() || code > 0xFF) return std::nullopt;
    return static_cast<std::uint8_t>(code);
}

// "\r", "\n", "\t", "\\" and "\xHH" in a text given on the command line.
std::optional<QByteArray> Unescape(const QString& text) {
    const QByteArray in = text.toUtf8();
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out += in[i];
            continue;
        }
        if (++i >= in.size()) return std::nullopt;
        switch (in[i]) {
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '\\': out += '\\'; break;
        case 'x': {
            bool ok = false;
            const uint value = in.mid(i + 1, 2).toUInt(&ok, 16);
            if (!ok || i + 2 >= in.size()) return std::nullopt;
            out += static_cast<char>(value);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

ParsedOptions Refuse(const QString& why) { return {std::nullopt, why, 2}; }

} // namespace

ParsedOptions ParseOptions(const QStringList& arguments) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Plays a BD Logic meter on a serial line. Prints the device to open on its first line of output."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption memory(QStringLiteral("memory"), QStringLiteral("Serve this memory file."),
                                    QStringLiteral("file"));
    const QCommandLineOption replay(QStringLiteral("replay"), QStringLiteral("Serve a recorded transcript."),
                                    QStringLiteral("file"));
    const QCommandLineOption forward(QStringLiteral("forward"),
                                     QStringLiteral("Pass commands to a real meter on this device and its answers "
                                                    "back (use with --record)."),
                                     QStringLiteral("device"));
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("Serve this device instead of a new pseudo-terminal."),
                                    QStringLiteral("path"));
    const QCommandLineOption settings(QStringLiteral("settings"),
                                      QStringLiteral("Line settings for --pace, --device and --forward."),
                                      QStringLiteral("baud,parity,data,stop"), QStringLiteral("9600,O,8,1"));
    const QCommandLineOption pace(QStringLiteral("pace"), QStringLiteral("Send at the speed of --settings."));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never answer."));
    const QCommandLineOption noise(QStringLiteral("noise"),
                                   QStringLiteral("Answer the wake-up with noise that holds no \"]\"."));
    const QCommandLineOption ignoreWakes(QStringLiteral("ignore-wakes"),
                                         QStringLiteral("Leave the first N wake-ups unanswered."),
                                         QStringLiteral("N"));
    const QCommandLineOption badCrc(QStringLiteral("bad-crc"),
                                    QStringLiteral("Give the first N answers to command CODE (hex) a wrong check "
                                                   "value; may be repeated."),
                                    QStringLiteral("CODE:N"));
    const QCommandLineOption trailing(QStringLiteral("trailing"),
                                      QStringLiteral("Send these bytes after the end mark of every block "
                                                     "(escapes \\r \\n \\t \\\\ \\xHH)."),
                                      QStringLiteral("text"));
    const QCommandLineOption late(QStringLiteral("late"),
                                  QStringLiteral("Send TEXT in a write of its own MS milliseconds (1 or more) after "
                                                 "every answer (escapes as for --trailing)."),
                                  QStringLiteral("MS:TEXT"));
    const QCommandLineOption muteFrom(QStringLiteral("mute-from"),
                                      QStringLiteral("From the first command CODE (hex) on, answer nothing; the "
                                                     "line stays open."),
                                      QStringLiteral("CODE"));
    const QCommandLineOption chunk(QStringLiteral("chunk"), QStringLiteral("Send answers in chunks of N bytes."),
                                   QStringLiteral("N"));
    const QCommandLineOption gap(QStringLiteral("gap"), QStringLiteral("Pause after each chunk."),
                                 QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption drop(QStringLiteral("drop"),
                                  QStringLiteral("Drop the line (exit) in the middle of the answer to CODE, after "
                                                 "BYTES of it (half by default)."),
                                  QStringLiteral("CODE[:BYTES]"));
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Log received commands to this file (- for standard error)."),
                                 QStringLiteral("file"));
    const QCommandLineOption record(QStringLiteral("record"), QStringLiteral("Record a transcript of the session."),
                                    QStringLiteral("file"));
    const QCommandLineOption parentWatch(QStringLiteral("parent-watch"),
                                         QStringLiteral("End when standard input closes."));
    p.addOptions({help, memory, replay, forward, device, settings, pace, silent, noise, ignoreWakes, badCrc,
                  trailing, late, muteFrom, chunk, gap, drop, log, record, parentWatch});
    if (!p.parse(arguments)) return Refuse(p.errorText());
    if (p.isSet(help)) return {std::nullopt, p.helpText(), 0};
    if (!p.positionalArguments().isEmpty()) return Refuse(QStringLiteral("unexpected argument: ") +
                                                          p.positionalArguments().first());

    SimOptions o;
    o.memoryPath = p.value(memory);
    o.replayPath = p.value(replay);
    o.forwardDevice = p.value(forward);
    if (int(!o.memoryPath.isEmpty()) + int(!o.replayPath.isEmpty()) + int(!o.forwardDevice.isEmpty()) != 1)
        return Refuse(QStringLiteral("give exactly one of --memory, --replay, --forward"));
    o.devicePath = p.value(device);
    const auto parsedSettings = ParseLineSettings(p.value(settings));
    if (!parsedSettings) return Refuse(QStringLiteral("bad --settings: ") + p.value(settings));
    o.settings = *parsedSettings;
    o.pace = p.isSet(pace);
    o.faults.silent = p.isSet(silent);
    o.faults.noise = p.isSet(noise);
    bool ok = true;
    const auto number = [&](const QCommandLineOption& option) {
        if (!p.isSet(option)) return 0;
        bool good = false;
        const int n = p.value(option).toInt(&good);
        if (!good || n < 0) ok = false;
        return good ? n : 0;
    };
    o.faults.ignoreWakes = number(ignoreWakes);
    o.chunk = number(chunk);
    o.gapMs = number(gap);
    if (!ok) return Refuse(QStringLiteral("--ignore-wakes, --chunk and --gap take a number 0 or more"));
    for (const QString& given : p.values(badCrc)) {
        const QStringList parts = given.split(u':');
        const auto code = ParseCode(parts.value(0));
        const int times = parts.value(1).toInt(&ok);
        if (parts.size() != 2 || !code || !ok || times < 0)
            return Refuse(QStringLiteral("bad --bad-crc: ") + given);
        o.faults.badCrc[*code] = times;
    }
    if (p.isSet(trailing)) {
        const auto bytes = Unescape(p.value(trailing));
        if (!bytes) return Refuse(QStringLiteral("bad escape in --trailing"));
        o.faults.trailing = *bytes;
    }
    if (p.isSet(late)) {
        const QString given = p.value(late);
        const qsizetype colon = given.indexOf(u':');
        o.lateMs = colon > 0 ? given.left(colon).toInt(&ok) : 0;
        const auto bytes = Unescape(given.mid(colon + 1));
        if (colon <= 0 || !ok || o.lateMs < 1 || !bytes || bytes->isEmpty())
            return Refuse(QStringLiteral("bad --late: ") + given);
        o.late = *bytes;
    }
    if (p.isSet(muteFrom)) {
        o.faults.muteFrom = ParseCode(p.value(muteFrom));
        if (!o.faults.muteFrom) return Refuse(QStringLiteral("bad --mute-from: ") + p.value(muteFrom));
    }
    if (p.isSet(drop)) {
        const QStringList parts = p.value(drop).split(u':');
        o.dropCode = ParseCode(parts.value(0));
        if (parts.size() == 2) {
            const qsizetype bytes = parts[1].toLongLong(&ok);
            if (!ok || bytes < 0) o.dropCode.reset();
            o.dropBytes = bytes;
        }
        if (!o.dropCode || parts.size() > 2) return Refuse(QStringLiteral("bad --drop: ") + p.value(drop));
    }
    o.logPath = p.value(log);
    o.recordPath = p.value(record);
    o.parentWatch = p.isSet(parentWatch);
    return {o, {}, 0};
}

} // namespace bdlogic::sim
