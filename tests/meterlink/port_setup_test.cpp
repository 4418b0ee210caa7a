#include "meterlink/device_permission.h"
#include "meterlink/line_settings.h"

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include "support/test_files.h"
#include "support/unprivileged.h"

#include <QTemporaryDir>

#include <sys/stat.h>
#endif

namespace bdlogic {
namespace {

TEST(ParseLineSettings, ReadsTheFourFields) {
    const std::pair<const char*, LineSettings> good[] = {{"9600,O,8,1", {9600, 'O', 8, 10}},
                                                         {"1200,e,7,2", {1200, 'E', 7, 20}},
                                                         {"19200, S ,5,1.5", {19200, 'S', 5, 15}}};
    for (const auto& [text, settings] : good) EXPECT_EQ(ParseLineSettings(QString::fromLatin1(text)), settings) << text;
    for (const char* text : {"", "9600,O,8", "9600,O,8,1,1", "0,N,8,1", "x,N,8,1", "9600,NO,8,1", "9600,N,4,1",
                             "9600,N,9,1", "9600,N,8,3", "9600,N,8,"})
        EXPECT_FALSE(ParseLineSettings(QString::fromLatin1(text)).has_value()) << text;
    EXPECT_EQ(ParseLineSettings(QStringLiteral("9600,O,8,1"))->bitsPerByte(), 11.0);
}

#ifndef Q_OS_WIN
TEST(CheckPermission, NamesTheGroupThatOwnsARefusedDevice) {
    // A stand-in for a device node that only the group dialout (20) may open (our own group when not root).
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString device = dir.filePath(QStringLiteral("ttyUSB0"));
    ASSERT_TRUE(test::WriteBytes(device, {}));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(device).constData(), 0, 20), 0);
    }
    ASSERT_TRUE(QFile::setPermissions(device, QFileDevice::ReadGroup | QFileDevice::WriteGroup));
    const QString group = QFileInfo(device).group();
    EXPECT_TRUE(test::RunUnprivileged([&] {
        const auto refused = CheckPermission(device);
        return refused && refused->device == device && refused->group == group;
    }));
    // A device that is not there is no matter of permission; joining a group that may not open it helps nothing.
    EXPECT_TRUE(test::RunUnprivileged([&] { return !CheckPermission(device + u'1'); }));
    ASSERT_TRUE(QFile::setPermissions(device, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_TRUE(test::RunUnprivileged([&] { return !CheckPermission(device); }));
}
#endif

} // namespace
} // namespace bdlogic
