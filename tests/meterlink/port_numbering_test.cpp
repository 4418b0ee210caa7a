// Port numbers of serial devices: given on first sight, kept for a device's identity, and claimed by programs
// numbering at once without giving one number twice.
#include "meterlink/port_numbering.h"
#include "startup/registry/reg_file_store.h"
#include "support/fakes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <latch>
#include <numeric>
#include <thread>

namespace bdlogic {
namespace {

using Values = std::map<std::string, std::string>;

constexpr char kCableA[] = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
constexpr char kCableAUpper[] = "/DEV/SERIAL/BY-ID/USB-FTDI_FT232R_USB_UART_A1-IF00-PORT0";
constexpr char kCableB[] = "/dev/serial/by-id/usb-Prolific_PL2303-if00-port0";

// What ports 1..count stand for: "no " before an absent device, the description in brackets.
std::string Ports(const PortNumbers& numbers, std::int16_t count) {
    QStringList out;
    for (std::int16_t n = 1; n <= count; ++n) {
        const PortTarget t = numbers.target(n);
        out << (t.absent ? QStringLiteral("no ") : QString()) + t.device +
                   (t.description.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(t.description));
    }
    return out.join(QStringLiteral(", ")).toStdString();
}

Values Records(const Registry& registry) {
    Values out;
    for (const QString& name : registry.ValueNames(Hive::LocalMachine, kPortNumberRecordKey)) {
        QString data;
        registry.ReadRegValue(Hive::LocalMachine, kPortNumberRecordKey, name, data);
        out[name.toStdString()] = data.toStdString();
    }
    return out;
}

TEST(PortNumbers, AreGivenOnFirstSightAndKeptForTheDevice) {
    const struct {
        const char* what;
        Values map, before;
        std::vector<SerialDevice> devices;
        std::int16_t count;
        const char* ports;
        Values after;
    } rows[] = {
        {"first sight", {}, {}, {{"/dev/ttyUSB0", kCableA, "FTDI FT232R"}},
         4, "no /dev/ttyS0, no /dev/ttyS1, /dev/ttyUSB0 (FTDI FT232R), no /dev/ttyS3", {{kCableA, "COM3"}}},
        {"a second cable, the first one gone", {}, {{kCableA, "COM3"}}, {{"/dev/ttyUSB0", kCableB, ""}},
         4, "no /dev/ttyS0, no /dev/ttyS1, no /dev/ttyS2, /dev/ttyUSB0", {{kCableA, "COM3"}, {kCableB, "COM4"}}},
        {"a cable moved to another socket, a record in another case", {}, {{kCableAUpper, "com5"}},
         {{"/dev/ttyUSB1", kCableA, ""}},
         5, "no /dev/ttyS0, no /dev/ttyS1, no /dev/ttyS2, no /dev/ttyS3, /dev/ttyUSB1", {{kCableAUpper, "com5"}}},
        {"map entries take their numbers and the devices they name", {{"/nonexistent/pty", "COM3"}, {kCableB, "COM6"}},
         {}, {{"/dev/ttyUSB0", kCableA, ""}, {"/dev/ttyUSB1", kCableB, "PL2303"}},
         6, "no /dev/ttyS0, no /dev/ttyS1, no /nonexistent/pty, /dev/ttyUSB0, no /dev/ttyS4, /dev/ttyUSB1 (PL2303)",
         {{kCableA, "COM4"}}},
        {"on-board ports, a map entry over one, a device without a by-id name", {{"/nonexistent/pty", "COM3"}},
         {{"/dev/ttyACM9", "COM4"}},
         {{"/dev/ttyS0", "/dev/ttyS0", ""}, {"/dev/ttyS2", "/dev/ttyS2", ""},
          {"/dev/ttyACM0", "/dev/ttyACM0", "Meter"}},
         5, "/dev/ttyS0, no /dev/ttyS1, no /nonexistent/pty, no /dev/ttyS3, /dev/ttyACM0 (Meter)",
         {{"/dev/ttyACM9", "COM4"}, {"/dev/ttyACM0", "COM5"}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        test::MemoryRegistry backend;
        for (const auto& [device, com] : r.map)
            backend.putString(Hive::LocalMachine, kSerialDeviceMapKey.toStdString(), device, com);
        for (const auto& [identity, com] : r.before)
            backend.putString(Hive::LocalMachine, kPortNumberRecordKey.toStdString(), identity, com);
        Registry registry(backend);
        EXPECT_EQ(Ports(PortNumbers::Claim(registry, r.devices), r.count), r.ports);
        EXPECT_EQ(Ports(PortNumbers(registry, r.devices), r.count), r.ports); // as the next look-up finds them
        EXPECT_EQ(Records(registry), r.after);
    }
}

TEST(PortNumbers, ProgramsNumberingAtOnceNeverShareANumber) {
    constexpr int kPrograms = 4;
    constexpr int kRounds = 15;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<std::int16_t> given;
    for (int round = 0; round < kRounds; ++round) {
        // Each program sees a cable of its own for the first time.
        std::latch start(kPrograms);
        std::vector<std::int16_t> numbers(kPrograms, 0);
        std::vector<std::thread> programs;
        for (int p = 0; p < kPrograms; ++p)
            programs.emplace_back([&, p] {
                RegFileStore store(dir.path().toStdString());
                Registry registry(store);
                const QString path = QStringLiteral("/dev/ttyUSB%1").arg(p);
                const std::vector<SerialDevice> cable{{path, QStringLiteral("cable %1.%2").arg(round).arg(p), {}}};
                start.arrive_and_wait();
                const PortNumbers ports = PortNumbers::Claim(registry, cable);
                for (std::int16_t n = 3; n < 3 + kPrograms * kRounds; ++n)
                    if (ports.target(n).device == path) numbers[static_cast<std::size_t>(p)] = n;
            });
        for (auto& t : programs) t.join();
        given.insert(given.end(), numbers.begin(), numbers.end());
    }
    std::sort(given.begin(), given.end());
    std::vector<std::int16_t> lowest(given.size());
    std::iota(lowest.begin(), lowest.end(), std::int16_t{3});
    EXPECT_EQ(given, lowest) << "a number given twice";
    RegFileStore store(dir.path().toStdString());
    EXPECT_EQ(Records(Registry(store)).size(), static_cast<std::size_t>(kPrograms * kRounds));
}

} // namespace
} // namespace bdlogic
