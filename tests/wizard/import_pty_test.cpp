// From meter to import file: the simulator serves a sample memory on a pseudo-terminal, the wizard's meter
// steps wake the meter, download and decode it and write the import file, which must equal the expected file
// byte for byte. Set BDLOGIC_UPDATE_GOLDEN=1 to rewrite the expected files after a deliberate change (then
// read the diff).
#include "../meterlink/sim_process.h"
#include "meterlink/port_device.h"
#include "startup/qt_event_pump.h"
#include "support/fakes.h"
#include "support/services_fixture.h"
#include "support/test_files.h"
#include "wizard/meter_import_steps.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using reg::Hive;

const std::string kModelKey = "SOFTWARE\\Corvane\\H\\modules\\BD Logic";

// Shows CR so that a difference in line ends is visible.
std::string Visible(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).replace(u'\r', QStringLiteral("\\r")).toStdString();
}

class ImportPty : public testing::Test, protected test::World<QtEventPump> {
protected:
    QTemporaryDir importDir;

    ImportPty() {
        services.language = LanguagePack::load(QStringLiteral(BDLOGIC_BUILD_DIR "/lang/English.lng"));
        state.iComm = 3;
        state.iUniqueImportID = 64;
        state.iPatientID = 42;
        state.sDriverName = state.sRegkey = QStringLiteral("BD Logic");
        state.sRegPath = QStringLiteral("SOFTWARE\\Corvane\\H\\modules\\");
        state.sImportDir = importDir.path() + u'/';
    }

    void SetUp() override {
        if (!test::PseudoTerminalsAvailable()) GTEST_SKIP() << "no pseudo-terminals on this system";
        ASSERT_NE(services.texts(), nullptr) << "build/lang/English.lng is missing";
    }

    // Runs identification, download and export against the simulator serving `sample`; returns the file's
    // path.
    QString importFrom(const QString& memory) {
        const QString device =
            sim.start({QStringLiteral("--memory"), QStringLiteral(BDLOGIC_SOURCE_DIR "/") + memory});
        EXPECT_FALSE(device.isEmpty()) << sim.errors().toStdString();
        backend.putString(Hive::LocalMachine, kSerialDeviceMapKey.toStdString(), device.toStdString(),
                          "COM3");
        MeterImportSteps steps(services);
        // A fixed moment: 3 December 2026, 23:15:07.
        steps.setClock([] { return QDateTime(QDate(2026, 12, 3), QTime(23, 15, 7)); });
        EXPECT_TRUE(steps.meter_connected());
        MeterRecords records;
        DownloadReport report;
        EXPECT_GT(steps.meter_read(records, report), 0);
        EXPECT_TRUE(report.complete());
        return steps.export_file(records).path;
    }

    void expectGolden(const QString& path, const QString& golden) {
        EXPECT_EQ(path, importDir.path() + QStringLiteral("/03122026231507.00042"));
        const QByteArray actual = test::ReadBytes(path);
        const QString expectedPath = QStringLiteral(BDLOGIC_SOURCE_DIR "/tests/wizard/golden/") + golden;
        if (qEnvironmentVariableIsSet("BDLOGIC_UPDATE_GOLDEN")) {
            ASSERT_TRUE(test::WriteBytes(expectedPath, actual));
        }
        const QByteArray expected = test::ReadBytes(expectedPath);
        ASSERT_FALSE(expected.isEmpty()) << "missing " << expectedPath.toStdString();
        EXPECT_EQ(actual, expected) << "got:\n" << Visible(actual) << "\nexpected:\n" << Visible(expected);
    }

    test::SimProcess sim;
};

TEST_F(ImportPty, GlucoseOnlyMemoryInMgdl) {
    expectGolden(importFrom(QStringLiteral("tests/wizard/data/glucose_only.mem")),
                 QStringLiteral("glucose_only.import"));
    EXPECT_EQ(state.sMeterID, QStringLiteral("LG12345678"));
}

TEST_F(ImportPty, MmolMemoryWithAllFourMarkerCategories) {
    const struct {
        const char* name;
        const char* value;
    } setup[] = {{"Type0", "0"},         {"Type_Insulin0", "13"},
                 {"Desc0", "Humalog"},   {"Type1", "1"},
                 {"Desc1", "Meal"},      {"Type2", "2"},
                 {"Desc2", "Cycling"},   {"Type3", "3"},
                 {"Desc3", "Metformin"}, {"Marker", "Marked on the meter"}};
    for (const auto& v : setup)
        backend.putString(Hive::CurrentUser, kModelKey, v.name, v.value);
    expectGolden(importFrom(QStringLiteral("tools/meter_sim/samples/markers_mmol.mem")),
                 QStringLiteral("markers_mmol.import"));
}

} // namespace
} // namespace bdlogic
