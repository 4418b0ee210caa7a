#include "meterlink/line_settings.h"
#include "meterlink/port_device.h"
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

TEST(ParseLineSettings, ReadsTheFourFields) {
    const std::pair<const char*, LineSettings> good[] = {
        {"9600,O,8,1", {9600, 'O', 8, 10}},
        {"1200,e,7,2", {1200, 'E', 7, 20}},
        {"19200, S ,5,1.5", {19200, 'S', 5, 15}},
    };
    for (const auto& [text, settings] : good) EXPECT_EQ(ParseLineSettings(QString::fromLatin1(text)), settings) << text;
    for (const char* text : {"", "9600,O,8", "9600,O,8,1,1", "0,N,8,1", "x,N,8,1", "9600,NO,8,1", "9600,N,4,1",
                             "9600,N,9,1", "9600,N,8,3", "9600,N,8,"})
        EXPECT_FALSE(ParseLineSettings(QString::fromLatin1(text)).has_value()) << text;
    EXPECT_EQ(ParseLineSettings(QStringLiteral("9600,O,8,1"))->bitsPerByte(), 11.0);
    EXPECT_EQ(ParseLineSettings(QStringLiteral("57600,N,8,1"))->bitsPerByte(), 10.0);
}

#ifndef Q_OS_WIN
TEST(PortDevice, TakesTheDeviceFromTheSerialDeviceMap) {
    test::MemoryRegistry backend;
    const std::string key = kSerialDeviceMapKey.toStdString();
    backend.putString(reg::Hive::LocalMachine, key, "/dev/ttyUSB0", "COM3");
    backend.putString(reg::Hive::LocalMachine, key, "/dev/pts/7", "com12");
    backend.putString(reg::Hive::CurrentUser, key, "/dev/ttyACM0", "COM5"); // only the machine's map counts
    const Registry registry(backend);
    const std::pair<std::int16_t, const char*> rows[] = {
        {3, "/dev/ttyUSB0"}, {12, "/dev/pts/7"}, {1, "/dev/ttyS0"}, {5, "/dev/ttyS4"}, {0, ""}, {-2, ""}};
    for (const auto& [n, device] : rows) EXPECT_EQ(PortDevice(registry, n), QString::fromLatin1(device)) << n;
}
#endif

} // namespace
} // namespace bdlogic
