#include "memory/marker_settings.h"

#include "support/fakes.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using test::MemoryRegistry;

const QString kKey = QStringLiteral("SOFTWARE\\Corvane\\H\\modules\\BD Logic");
const std::string kKeyUtf8 = kKey.toStdString();

class MarkerSettingsTest : public ::testing::Test {
protected:
    std::optional<std::string> User(const std::string& name) const {
        return backend.string(Hive::CurrentUser, kKeyUtf8, name);
    }
    MemoryRegistry backend;
    Registry registry{backend};
};

MarkerSettings Chosen() {
    MarkerSettings s;
    s.markers = {MarkerEntry{kMarkerInsulin, 13, QStringLiteral("Humalog")},
                 MarkerEntry{kMarkerIntakes, 9, QStringLiteral("Brot")},
                 MarkerEntry{kMarkerExercise, 0, QString()},
                 MarkerEntry{kMarkerMedicines, 4, QStringLiteral("ASS 100")}};
    s.comment = QStringLiteral("Sternchen");
    s.glucoseAvailable = 1;
    s.insulinAvailable = 0;
    return s;
}

TEST_F(MarkerSettingsTest, WithNothingStoredTheDownloadMakesEveryMarkerInsulinOfTypeZero) {
    const MarkerSettings download = LoadDownloadMarkerSettings(registry, kKey);
    for (const MarkerEntry& m : download.markers) {
        EXPECT_EQ(m.dataType, std::optional<std::int16_t>(0));
        EXPECT_EQ(m.insulinType, std::optional<std::int16_t>(0));
        EXPECT_EQ(m.description, QString());
    }
    EXPECT_EQ(download.comment, QString());
}

TEST_F(MarkerSettingsTest, RoundTripThroughBothReaders) {
    const MarkerSettings saved = Chosen();
    SaveMarkerSettings(registry, kKey, saved);
    for (const MarkerSettings& loaded :
         {LoadDialogMarkerSettings(registry, kKey), LoadDownloadMarkerSettings(registry, kKey)}) {
        for (std::size_t k = 0; k < 4; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(loaded.markers[k].dataType, saved.markers[k].dataType);
            EXPECT_EQ(loaded.markers[k].insulinType, saved.markers[k].insulinType);
            EXPECT_EQ(loaded.markers[k].description, saved.markers[k].description);
        }
        EXPECT_EQ(loaded.comment, saved.comment);
    }
    const MarkerSettings dialog = LoadDialogMarkerSettings(registry, kKey);
    EXPECT_EQ(dialog.glucoseAvailable, std::optional<std::int16_t>(1));
    EXPECT_EQ(dialog.insulinAvailable, std::optional<std::int16_t>(0));
}

TEST_F(MarkerSettingsTest, CommentIsSavedAsTypedAndReadTrimmedOrAsEachReadersDefault) {
    MarkerSettings s = Chosen();
    s.comment = QStringLiteral("  marked \t");
    SaveMarkerSettings(registry, kKey, s);
    EXPECT_EQ(User("Marker"), "  marked \t");
    EXPECT_EQ(LoadDownloadMarkerSettings(registry, kKey).comment, QStringLiteral("marked"));
    EXPECT_EQ(LoadDialogMarkerSettings(registry, kKey).comment, QStringLiteral("marked"));
    s.comment.clear();
    SaveMarkerSettings(registry, kKey, s);
    EXPECT_EQ(User("Marker"), " ");
    EXPECT_EQ(LoadDialogMarkerSettings(registry, kKey).comment, QStringLiteral("!!!"));
    EXPECT_EQ(LoadDownloadMarkerSettings(registry, kKey).comment, QString());
}

TEST_F(MarkerSettingsTest, StoredTextsThatAreNoNumbers) {
    backend.putString(Hive::CurrentUser, kKeyUtf8, "Type2", "seven");
    backend.putString(Hive::CurrentUser, kKeyUtf8, "Type_Insulin2", "x1");
    backend.putString(Hive::CurrentUser, kKeyUtf8, "Type3", "7");
    backend.putString(Hive::CurrentUser, kKeyUtf8, "Type_Insulin3", "2.5");
    const MarkerSettings download = LoadDownloadMarkerSettings(registry, kKey);
    EXPECT_EQ(download.markers[2].dataType, std::optional<std::int16_t>(0));
    EXPECT_EQ(download.markers[2].insulinType, std::optional<std::int16_t>(0));
    EXPECT_EQ(download.markers[3].dataType, std::optional<std::int16_t>(7));
    EXPECT_EQ(download.markers[3].insulinType, std::optional<std::int16_t>(2));
    const MarkerSettings dialog = LoadDialogMarkerSettings(registry, kKey);
    EXPECT_EQ(dialog.markers[2].dataType, std::nullopt); // the dialog's list then shows no selection
    EXPECT_EQ(dialog.markers[2].insulinType, std::nullopt);
    EXPECT_EQ(dialog.markers[3].dataType, std::optional<std::int16_t>(7));
}

TEST_F(MarkerSettingsTest, DownloadReadsOnlyTheUserHive) {
    backend.putString(Hive::LocalMachine, kKeyUtf8, "Type0", "2");
    backend.putString(Hive::LocalMachine, kKeyUtf8, "Marker", "machine");
    const MarkerSettings s = LoadDownloadMarkerSettings(registry, kKey);
    EXPECT_EQ(s.markers[0].dataType, std::optional<std::int16_t>(0));
    EXPECT_EQ(s.comment, QString());
}

} // namespace
} // namespace bdlogic
