// The meter link end to end: the Qt serial port on a real pseudo-terminal, driven by the real event pump,
// with the simulator playing the meter. Kept to what only real timing and a real port show: every exchange
// here takes real time.
#include "importfile/type_defs.h"
#include "meter_sim/answer_framing.h"
#include "meter_sim/memory_file.h"
#include "meterlink/meter_commands.h"
#include "meterlink/meter_identification.h"
#include "meterlink/port_device.h"
#include "meterlink/qt_meter_port.h"
#include "meterlink_rig.h"
#include "sim_process.h"
#include "startup/qt_event_pump.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

const QString kMonth = QStringLiteral(BDLOGIC_SOURCE_DIR "/tools/meter_sim/samples/month_mgdl.mem");

class PtyLink : public testing::Test, protected test::LinkWorld<QtEventPump> {
protected:
    void SetUp() override {
        if (!test::PseudoTerminalsAvailable()) GTEST_SKIP() << "no pseudo-terminals on this system";
    }

    // Starts the simulator on `memory` and maps port 3 to its device.
    void startMeter(const QString& memory, const QStringList& options = {}) {
        const QString device = sim.start(QStringList{QStringLiteral("--memory"), memory} + options);
        ASSERT_FALSE(device.isEmpty()) << "simulator did not start: " << sim.errors().toStdString();
        backend.putString(reg::Hive::LocalMachine, kSerialDeviceMapKey.toStdString(), device.toStdString(), "COM3");
    }

    // The download's three exchanges, joined.
    QByteArray download() {
        port.clearOutput();
        QByteArray text =
            layer.read_blocks(kGlucoseBase, {QStringLiteral("Glu"), QStringLiteral("Cntl")}, 4311, 4311).text;
        text += layer.read_blocks(kMarkerBase, {QStringLiteral("P")}, 4317, 4313).text;
        text += layer.read_info().text;
        port.setPortOpen(false);
        return text;
    }

    // The answers of a download of kMonth, in order: nine glucose blocks, nine marker blocks, the information.
    static QByteArrayList Answers() {
        QString error;
        const sim::MeterMemory memory = sim::LoadMemory(kMonth, &error).value_or(sim::MeterMemory{});
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        QByteArrayList answers;
        for (const auto& lines : memory.glucose) answers << sim::FrameAnswer(lines);
        for (const auto& lines : memory.marker) answers << sim::FrameAnswer(lines);
        return answers << sim::FrameAnswer(memory.info);
    }

    test::SimProcess sim;
    QtMeterPort port{registry};
    MessageLayer layer{port, services};
};

// Answers in 97-byte pieces 30 ms apart, two bad check values, and a CR LF in a write of its own 60 ms after each
// answer.
TEST_F(PtyLink, ADownloadGetsEveryBlockFromAMeterWithItsOwnTiming) {
    startMeter(kMonth,
               {"--chunk", "97", "--gap", "30", "--bad-crc", "83:2", "--bad-crc", "95:1", "--late", "60:\\r\\n"});
    ASSERT_EQ(meter_connected(port, services), kTrue);
    QtMeterPort other(registry); // another program
    other.setCommPort(3);
    other.setPortOpen(true);
    EXPECT_FALSE(other.portOpen());
    EXPECT_EQ(download(), Answers().join());
    // The meter answers again after the port was closed and opened anew.
    ASSERT_EQ(meter_connected(port, services), kTrue);
    EXPECT_EQ(layer.read_info().text, Answers().last());
}

TEST_F(PtyLink, ADroppedLineEndsTheWholeDownloadPromptly) {
    startMeter(kMonth, {"--drop", "83"});
    ASSERT_EQ(meter_connected(port, services), kTrue);
    QElapsedTimer clock;
    clock.start();
    // Blocks 0..2 came before the line dropped in block 3; nothing after it.
    EXPECT_EQ(download(), Answers().mid(0, 3).join());
    EXPECT_LT(clock.elapsed(), 3000) << "the download hung on the dead line";
    EXPECT_TRUE(port.deviceLost());
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
