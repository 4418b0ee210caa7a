// bdlogic-meter-sim: plays a BD Logic meter on a pseudo-terminal (or a given device) so that the driver, its
// tests and its benchmark have a meter to talk to. See README.md.
#include "memory_file.h"
#include "serial_line.h"
#include "sim_options.h"
#include "simulated_meter.h"
#include "simulator.h"
#include "transcript.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using namespace bdlogic::sim;

namespace {

int Fail(const QString& why) {
    std::fprintf(stderr, "bdlogic-meter-sim: %s\n", qPrintable(why));
    return 2;
}

int Fail(const QString& path, const QString& why) { return Fail(path + QStringLiteral(": ") + why); }

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const ParsedOptions parsed = ParseOptions(QCoreApplication::arguments());
    if (!parsed.options) {
        std::fputs(qPrintable(parsed.message + u'\n'), parsed.exitCode == 0 ? stdout : stderr);
        return parsed.exitCode;
    }
    const SimOptions& o = *parsed.options;
    QString error;

    RunSetup setup;
    std::optional<SimulatedMeter> meter;
    std::optional<TranscriptReplay> replay;
    std::optional<SerialLine> meterLine; // kept open for the whole run
    if (!o.memoryPath.isEmpty()) {
        auto memory = LoadMemory(o.memoryPath, &error);
        if (!memory) return Fail(o.memoryPath, error);
        meter.emplace(std::move(*memory), o.faults);
        setup.responder = [&meter](std::uint8_t code) { return meter->reply(code); };
    } else if (!o.replayPath.isEmpty()) {
        replay = TranscriptReplay::load(o.replayPath, &error);
        if (!replay) return Fail(o.replayPath, error);
        setup.responder = [&replay, &o](std::uint8_t code) {
            return o.faults.silent ? QByteArray() : replay->reply(code);
        };
    } else {
        auto opened = SerialLine::openDevice(o.forwardDevice, o.settings, &error);
        if (!opened) return Fail(o.forwardDevice, error);
        meterLine.emplace(std::move(*opened));
        setup.meterFd = meterLine->fd();
    }

    auto line = o.devicePath.isEmpty() ? SerialLine::openPseudoTerminal(&error)
                                       : SerialLine::openDevice(o.devicePath, o.settings, &error);
    if (!line) return Fail(error);

    QFile log;
    if (o.logPath == u"-") {
        if (!log.open(stderr, QIODevice::WriteOnly)) return Fail(QStringLiteral("cannot log to standard error"));
    } else if (!o.logPath.isEmpty()) {
        log.setFileName(o.logPath);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append)) return Fail(o.logPath, log.errorString());
    }
    TranscriptWriter transcript;
    if (!o.recordPath.isEmpty() && !transcript.open(o.recordPath, &error)) return Fail(o.recordPath, error);

    if (o.pace && setup.meterFd < 0) {
        // One byte: start bit, data bits, parity bit, stop bits.
        const double seconds = o.settings.bitsPerByte() / o.settings.baud;
        setup.shape.byteTime = std::chrono::nanoseconds(static_cast<long long>(seconds * 1e9));
        setup.commandTime = 2 * setup.shape.byteTime;
    }
    if (setup.meterFd < 0) {
        setup.shape.chunk = o.chunk;
        setup.shape.gap = std::chrono::milliseconds(o.gapMs);
        setup.shape.late = o.late;
        setup.shape.lateAfter = std::chrono::milliseconds(o.lateMs);
    }
    setup.dropCode = o.dropCode;
    setup.dropBytes = o.dropBytes;
    setup.parentWatch = o.parentWatch;
    setup.log = log.isOpen() ? &log : nullptr;
    setup.transcript = o.recordPath.isEmpty() ? nullptr : &transcript;

    // The first line tells the caller which device to open.
    std::printf("%s\n", qPrintable(line->devicePath()));
    std::fflush(stdout);
    return RunSimulator(*line, std::move(setup));
}
