#include "memory/marker_settings.h"

#include "support/fakes.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

using test::MemoryRegistry;

const QString kKey = QStringLiteral("SOFTWARE\\Corvane\\H\\modules\\BD Logic");
const std::string kKeyUtf8 = kKey.toStdString();

// Remembers the names of the values in the order they were written.
class OrderRecordingRegistry : public MemoryRegistry {
public:
    bool setValue(reg::Hive hive, const std::string& path, const std::string& name, const reg::Value& value) override {
        order.push_back(name);
        hives.push_back(hive);
        return MemoryRegistry::setValue(hive, path, name, value);
    }
    std::vector<std::string> order;
    std::vector<reg::Hive> hives;
};

class MarkerSettingsTest : public ::testing::Test {
protected:
    std::optional<std::string> User(const std::string& name) const {
        return backend.string(Hive::CurrentUser, kKeyUtf8, name);
    }
    OrderRecordingRegistry backend;
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

TEST_F(MarkerSettingsTest, NothingStored) {
    const MarkerSettings download = LoadDownloadMarkerSettings(registry, kKey);
    const MarkerSettings dialog = LoadDialogMarkerSettings(registry, kKey);
    const std::int16_t dialogInsulin[4] = {9, 10, 13, 2};
    for (std::size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(download.markers[k].dataType, std::optional<std::int16_t>(0));
        EXPECT_EQ(download.markers[k].insulinType, std::optional<std::int16_t>(0));
        EXPECT_EQ(download.markers[k].description, QString());
        EXPECT_EQ(dialog.markers[k].dataType, std::optional<std::int16_t>(0));
        EXPECT_EQ(dialog.markers[k].insulinType, std::optional<std::int16_t>(dialogInsulin[k]));
        EXPECT_EQ(dialog.markers[k].description, QString());
    }
    EXPECT_EQ(download.comment, QString());
    EXPECT_EQ(dialog.comment, QStringLiteral("!!!"));
    EXPECT_EQ(dialog.glucoseAvailable, std::optional<std::int16_t>(1));
    EXPECT_EQ(dialog.insulinAvailable, std::optional<std::int16_t>(1));
}

TEST_F(MarkerSettingsTest, SaveWritesTheUserHiveInTheDialogsOrderAndEncodings) {
    SaveMarkerSettings(registry, kKey, Chosen());
    const std::vector<std::string> order = {
        "Glucose_Available", "Insulin_Available", "Desc0", "Type0", "Type_Insulin0", "Desc1", "Type1",
        "Type_Insulin1",     "Desc2",             "Type2", "Type_Insulin2",         "Desc3", "Type3",
        "Type_Insulin3",     "Marker"};
    EXPECT_EQ(backend.order, order);
    for (const reg::Hive h : backend.hives) EXPECT_EQ(h, Hive::CurrentUser);
    EXPECT_EQ(User("Glucose_Available"), "-1");
    EXPECT_EQ(User("Insulin_Available"), "0");
    EXPECT_EQ(User("Type_Insulin0"), "13");
    EXPECT_EQ(User("Type3"), "3");
    EXPECT_EQ(User("Desc3"), "ASS 100");
    EXPECT_EQ(User("Desc2"), " "); // an empty text is stored as one blank
    EXPECT_EQ(User("Marker"), "Sternchen");
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

TEST_F(MarkerSettingsTest, EmptyCommentReadsBackAsEachReadersDefault) {
    MarkerSettings s = Chosen();
    s.comment.clear();
    SaveMarkerSettings(registry, kKey, s);
    EXPECT_EQ(User("Marker"), " ");
    EXPECT_EQ(LoadDialogMarkerSettings(registry, kKey).comment, QStringLiteral("!!!"));
    EXPECT_EQ(LoadDownloadMarkerSettings(registry, kKey).comment, QString());
}

TEST_F(MarkerSettingsTest, CommentIsSavedAsTypedAndTrimmedWhenRead) {
    MarkerSettings s = Chosen();
    s.comment = QStringLiteral("  marked \t");
    SaveMarkerSettings(registry, kKey, s);
    EXPECT_EQ(User("Marker"), "  marked \t");
    EXPECT_EQ(LoadDownloadMarkerSettings(registry, kKey).comment, QStringLiteral("marked"));
    EXPECT_EQ(LoadDialogMarkerSettings(registry, kKey).comment, QStringLiteral("marked"));
}

TEST_F(MarkerSettingsTest, EmptyNumbersAreNotWritten) {
    backend.putString(Hive::CurrentUser, kKeyUtf8, "Type1", "2");
    backend.putString(Hive::CurrentUser, kKeyUtf8, "Type_Insulin1", "11");
    MarkerSettings s = Chosen();
    s.markers[1].dataType.reset();
    s.markers[1].insulinType.reset();
    s.glucoseAvailable.reset();
    SaveMarkerSettings(registry, kKey, s);
    EXPECT_EQ(User("Type1"), "2");
    EXPECT_EQ(User("Type_Insulin1"), "11");
    EXPECT_EQ(User("Glucose_Available"), std::nullopt);
    EXPECT_EQ(User("Desc1"), "Brot");
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

TEST_F(MarkerSettingsTest, CheckBoxesFromMachineThenUser) {
    struct Case {
        const char* name;
        const char* machine; // nullptr: not stored
        const char* user;
        std::optional<std::int16_t> box;
    };
    const Case cases[] = {
        {"nothing stored", nullptr, nullptr, 1},
        {"machine off", "0", nullptr, 0},
        {"machine off, user on", "0", "-1", 1},
        {"machine on, user off", "-1", "0", 0},
        {"user blank keeps machine", "0", " ", 0},
        {"positive one", nullptr, "1", 1},
        {"not a number", nullptr, "yes", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryRegistry store;
        Registry reg(store);
        if (c.machine) store.putString(Hive::LocalMachine, kKeyUtf8, "Insulin_Available", c.machine);
        if (c.user) store.putString(Hive::CurrentUser, kKeyUtf8, "Insulin_Available", c.user);
        const MarkerSettings s = LoadDialogMarkerSettings(reg, kKey);
        EXPECT_EQ(s.insulinAvailable, c.box);
        EXPECT_EQ(s.glucoseAvailable, std::optional<std::int16_t>(1));
    }
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
