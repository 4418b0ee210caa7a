// A full download from the meter simulator paced at a real line speed (9600 baud 8O1 by default): the driver's
// wall time against the floor that the line and the prescribed waits set, and the CPU time the driver spends.
// Run it through download_bench.sh.
#include "meterlink/line_settings.h"
#include "meterlink/message_layer.h"
#include "meterlink/meter_commands.h"
#include "meterlink/meter_identification.h"
#include "meterlink/meter_models.h"
#include "meterlink/port_device.h"
#include "meterlink/qt_meter_port.h"
#include "startup/qt_event_pump.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>

using namespace bdlogic;

namespace {

// Just enough registry for the serial device map: one device standing for COM1.
class DeviceMap : public reg::Backend {
public:
    explicit DeviceMap(std::string device) : device_(std::move(device)) {}
    bool keyExists(reg::Hive, const std::string& path) override {
        return path == kSerialDeviceMapKey.toStdString();
    }
    std::optional<reg::Value> queryValue(reg::Hive, const std::string& path, const std::string& name) override {
        if (!keyExists(reg::Hive::LocalMachine, path) || name != device_) return std::nullopt;
        return reg::Value{reg::kSz, {'C', 'O', 'M', '1', '\0'}};
    }
    reg::CreateResult createKey(reg::Hive, const std::string&, const std::string&) override {
        return reg::CreateResult::Failed;
    }
    bool setValue(reg::Hive, const std::string&, const std::string&, const reg::Value&) override { return false; }
    std::vector<std::string> valueNames(reg::Hive, const std::string& path) override {
        if (!keyExists(reg::Hive::LocalMachine, path)) return {};
        return {device_};
    }

private:
    std::string device_;
};

class NoMessages : public MessageBox {
public:
    void show(const QString& text, const QString&, MessageIcon) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};
class NoStatus : public StatusLine {
public:
    void showStep(const QString&) override {}
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The answers of a series, one per accepted block.
QList<QByteArray> Answers(const QByteArray& text) {
    QList<QByteArray> out;
    qsizetype from = 0;
    for (qsizetype end = text.indexOf(kEndMark); end >= 0; end = text.indexOf(kEndMark, from)) {
        out << text.mid(from, end + 3 - from);
        from = end + 3;
    }
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    const QCommandLineOption simOption(QStringLiteral("sim"), QStringLiteral("The simulator."), QStringLiteral("path"));
    const QCommandLineOption memoryOption(QStringLiteral("memory"), QStringLiteral("Memory file."),
                                          QStringLiteral("file"));
    const QCommandLineOption modelOption(QStringLiteral("model"), QStringLiteral("Model code (64 or 84)."),
                                         QStringLiteral("code"), QStringLiteral("64"));
    p.addOptions({simOption, memoryOption, modelOption});
    p.process(app);
    const auto model = static_cast<std::int16_t>(p.value(modelOption).toInt());
    const QString settingsText = QString::fromLatin1(LineSettingsFor(model));
    const LineSettings settings = ParseLineSettings(settingsText).value_or(LineSettings{});

    QProcess sim;
    sim.start(p.value(simOption), {QStringLiteral("--memory"), p.value(memoryOption), QStringLiteral("--pace"),
                                   QStringLiteral("--settings"), settingsText, QStringLiteral("--parent-watch")});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000) || !sim.canReadLine()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 2;
    }
    const QByteArray device = sim.readLine().trimmed();

    DeviceMap map(device.toStdString());
    Registry registry(map);
    QtEventPump pump;
    NoMessages messages;
    NoStatus status;
    MainState state;
    state.iComm = 1;
    state.iUniqueImportID = model;
    state.sDriverName = QString::fromLatin1(FindMeterModel(model) ? FindMeterModel(model)->name : "?");
    Services services{registry, pump, messages, status, state, {}, {}, {}};
    QtMeterPort port(registry);
    MessageLayer layer(port, services);

    QElapsedTimer wall;
    const double cpuBefore = CpuSeconds();
    wall.start();
    if (meter_connected(port, services) != -1) {
        std::fprintf(stderr, "the meter did not answer\n");
        return 1;
    }
    port.clearOutput();
    const QByteArray glucose =
        layer.read_blocks(kGlucoseBase, {QStringLiteral("Glu"), QStringLiteral("Cntl")}, 4311, 4311).text;
    const QByteArray markers = layer.read_blocks(kMarkerBase, {QStringLiteral("P")}, 4317, 4313).text;
    const QByteArray info = layer.read_info().text;
    port.setPortOpen(false);
    const double wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    const double cpuMs = (CpuSeconds() - cpuBefore) * 1000;

    const QList<QByteArray> answers = Answers(glucose) + Answers(markers) + QList<QByteArray>{info};
    if (answers.size() != 2 * kBlocksPerSeries + 1) {
        std::fprintf(stderr, "incomplete download: %lld answers\n", static_cast<long long>(answers.size()));
        return 1;
    }
    // The floor: the wake-up's 100 + 500 ms, then per exchange the command and its answer on the line, and the
    // answer loop's timing: reads at 50 ms after the command, again at once, then every 50 ms; each chunk is
    // appended one poll after it was read (the first at once), and the loop ends one pass (50 ms) after the
    // chunk with the end mark was appended. So an answer complete by the first read takes 100 ms, any later one
    // its read on the 50 ms grid + 100 ms.
    const double byteMs = 1000.0 * settings.bitsPerByte() / settings.baud;
    double lineMs = 0;
    double floorMs = 600;
    qsizetype bytes = 0;
    for (const QByteArray& a : answers) {
        const double t = static_cast<double>(2 + a.size()) * byteMs;
        lineMs += t;
        bytes += 2 + a.size();
        floorMs += t <= kPollMs ? 2 * kPollMs : kPollMs * std::ceil(t / kPollMs) + 2 * kPollMs;
    }
    const double plainFloorMs = 600 + lineMs + static_cast<double>(answers.size()) * 2 * kPollMs;

    std::printf("line            %s, %.3f ms per byte\n", qPrintable(settingsText), byteMs);
    std::printf("exchanges       %lld, %lld bytes on the line, %.0f ms line time\n",
                static_cast<long long>(answers.size()), static_cast<long long>(bytes), lineMs);
    std::printf("floor           %.0f ms (line time and the answer loop on the 50 ms polling grid)\n", floorMs);
    std::printf("                %.0f ms (line time + 600 ms wake-up + 100 ms per exchange)\n", plainFloorMs);
    std::printf("wall time       %.0f ms = %.1f%% over the floor (target 5%%)\n", wallMs,
                100.0 * (wallMs / floorMs - 1));
    std::printf("driver CPU      %.1f ms = %.2f%% of wall time (target 2%%)\n", cpuMs, 100.0 * cpuMs / wallMs);
    sim.terminate();
    sim.waitForFinished(2000);
    return 0;
}
