// The meter link end to end: the Qt serial port on a real pseudo-terminal, driven by the real event pump, with
// the simulator playing the meter. Kept short: every exchange here takes real time.
#include "meter_sim/answer_framing.h"
#include "meter_sim/memory_file.h"
#include "meterlink/answer_collector.h"
#include "meterlink/message_layer.h"
#include "meterlink/meter_commands.h"
#include "meterlink/meter_identification.h"
#include "meterlink/port_device.h"
#include "meterlink/qt_meter_port.h"
#include "sim_process.h"
#include "startup/qt_event_pump.h"

#include "importfile/type_defs.h"
#include "meterlink_rig.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using test::SimProcess;

const QString kSamples = QStringLiteral(BDLOGIC_SOURCE_DIR "/tools/meter_sim/samples");
constexpr std::int16_t kPort = 3;

struct Download {
    QByteArray glucose, markers, info;
};

class PtyLink : public testing::Test, protected test::World<QtEventPump> {
protected:
    PtyLink() {
        services.language = LanguagePack::fromText(QString::fromUtf8(test::kLinkTexts));
        state.iComm = kPort;
        state.iUniqueImportID = 64;
        state.sDriverName = QStringLiteral("BD Logic");
    }

    void SetUp() override {
        if (!test::PseudoTerminalsAvailable()) GTEST_SKIP() << "no pseudo-terminals on this system";
    }

    // Starts the simulator and maps COM3 to its device.
    void startMeter(SimProcess& sim, QStringList arguments) {
        const QString device = sim.start(arguments);
        ASSERT_FALSE(device.isEmpty()) << "simulator did not start: " << sim.errors().toStdString();
        backend.putString(reg::Hive::LocalMachine, kSerialDeviceMapKey.toStdString(), device.toStdString(),
                          "COM" + std::to_string(kPort));
    }

    Download download() {
        Download d;
        port.clearOutput();
        d.glucose = layer.read_blocks(kGlucoseBase, {QStringLiteral("Glu"), QStringLiteral("Cntl")}, 4311, 4311).text;
        d.markers = layer.read_blocks(kMarkerBase, {QStringLiteral("P")}, 4317, 4313).text;
        d.info = layer.read_info().text;
        port.setPortOpen(false);
        return d;
    }

    // What a download of a memory file must give when the glucose series gets `glucoseBlocks` blocks.
    static Download expected(const QString& memoryFile, int glucoseBlocks = sim::kBlocks) {
        QString error;
        const auto memory = sim::LoadMemory(memoryFile, &error);
        EXPECT_TRUE(memory) << error.toStdString();
        Download d;
        for (int k = 0; memory && k < sim::kBlocks; ++k) {
            if (k < glucoseBlocks) d.glucose += sim::FrameAnswer(memory->glucose[k]);
            d.markers += sim::FrameAnswer(memory->marker[k]);
        }
        if (memory) d.info = sim::FrameAnswer(memory->info);
        return d;
    }

    QtMeterPort port{registry};
    MessageLayer layer{port, services};
};

TEST_F(PtyLink, PortOperationsFailQuietly) {
    // Nothing is open yet: every operation is a no-op; a port with no device behind it stays closed.
    port.output(MeterCommand(kWakeCommand));
    EXPECT_TRUE(port.input().isEmpty());
    port.setCommPort(250);
    port.setPortOpen(true);
    EXPECT_FALSE(port.portOpen());
    EXPECT_EQ(port.deviceName(), QStringLiteral("/dev/ttyS249"));
}

TEST_F(PtyLink, APortHeldByAnotherUserCannotBeOpenedAndTheMeterSurvivesReopening) {
    SimProcess sim;
    startMeter(sim, {QStringLiteral("--memory"), kSamples + QStringLiteral("/empty.mem")});
    port.setCommPort(kPort);
    port.setPortOpen(true);
    ASSERT_TRUE(port.portOpen());
    QtMeterPort other(registry);
    other.setCommPort(kPort);
    other.setPortOpen(true);
    EXPECT_FALSE(other.portOpen());

    for (int round = 0; round < 2; ++round) {
        port.setSettings(QStringLiteral("9600,O,8,1"));
        ASSERT_TRUE(port.portOpen()) << "round " << round;
        port.output(MeterCommand(kInfoCommand));
        QByteArray answer;
        EXPECT_EQ(CollectAnswer(port, pump, answer), Collection::Complete) << "round " << round;
        EXPECT_TRUE(answer.endsWith("]\r\n")) << answer.toStdString();
        port.setPortOpen(false);
        port.setPortOpen(true);
    }
}

// The meter's timing, one set of simulator options per case.
struct MeterTiming {
    friend void PrintTo(const MeterTiming& t, std::ostream* os) { *os << t.name; }
    const char* name;
    QStringList options;
};
class PtyDownload : public PtyLink, public testing::WithParamInterface<MeterTiming> {};

TEST_P(PtyDownload, GetsBothSeriesAndTheInformation) {
    const QString memory = kSamples + QStringLiteral("/month_mgdl.mem");
    SimProcess sim;
    startMeter(sim, QStringList{QStringLiteral("--memory"), memory} + GetParam().options);
    ASSERT_EQ(meter_connected(port, services), kTrue);
    const Download got = download();
    const Download want = expected(memory);
    EXPECT_EQ(got.glucose, want.glucose);
    EXPECT_EQ(got.markers, want.markers);
    EXPECT_EQ(got.info, want.info);
    EXPECT_FALSE(port.portOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Meters, PtyDownload,
    testing::Values(MeterTiming{"SplitAndCorruptedAnswers",
                                {QStringLiteral("--chunk"), QStringLiteral("97"), QStringLiteral("--gap"),
                                 QStringLiteral("30"), QStringLiteral("--bad-crc"), QStringLiteral("83:2"),
                                 QStringLiteral("--bad-crc"), QStringLiteral("95:1")}},
                    // CR LF in a write of its own 60 ms after each answer.
                    MeterTiming{"LateCrLf", {QStringLiteral("--late"), QStringLiteral("60:\\r\\n")}}),
    [](const testing::TestParamInfo<MeterTiming>& info) { return std::string(info.param.name); });

TEST_F(PtyLink, ADroppedLineEndsTheWholeDownloadPromptly) {
    const QString memory = kSamples + QStringLiteral("/month_mgdl.mem");
    SimProcess sim;
    startMeter(sim, {QStringLiteral("--memory"), memory, QStringLiteral("--drop"), QStringLiteral("83")});
    ASSERT_EQ(meter_connected(port, services), kTrue);
    QElapsedTimer clock;
    clock.start();
    const Download got = download();
    const qint64 ms = clock.elapsed();
    EXPECT_EQ(sim.waitForExit(2000), 3);
    // Blocks 0..2 came before the line dropped in block 3; nothing after it.
    EXPECT_EQ(got.glucose, expected(memory, 3).glucose);
    EXPECT_TRUE(got.markers.isEmpty());
    EXPECT_TRUE(got.info.isEmpty());
    EXPECT_TRUE(port.deviceLost());
    EXPECT_FALSE(port.portOpen());
    EXPECT_LT(ms, 3000) << "the download hung on the dead line";
}

TEST(QtEventPump, AWaitEndsWhenAnEventAsksTheProgramToStop) {
    QtEventPump pump;
    QTimer::singleShot(20, [&] { pump.requestStop(); });
    QElapsedTimer clock;
    clock.start();
    Pause(pump, 5000);
    EXPECT_TRUE(pump.stopRequested());
    EXPECT_LT(clock.elapsed(), 2000);
}

} // namespace
} // namespace bdlogic
