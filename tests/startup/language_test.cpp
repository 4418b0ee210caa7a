#include "startup/language.h"
#include "startup/localise.h"
#include "support/scoped_env.h"
#include "support/test_files.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace bdlogic::test {
namespace {

QString Text(const Language* pack, int id, const QStringList& values = {}) {
    return loadres(pack, id, values).value_or(QStringLiteral("<missing>"));
}

TEST(LanguagePack, ReadsItsLinesAndPlacesEachValueOnce) {
    const auto pack = LanguagePack::fromText(QStringLiteral(
        "# 1=kommentar\r\n; 2=kommentar\r\n   \r\n   # 3=eingerückt\r\nohne Gleichheitszeichen\r\nx=5\r\n=7\r\n"
        " 4 =vier\r\n5= mit Blank\r\n6=a=b\r\n8=\r\n"
        "10=Zeile 1\\nZeile 2\n11=C:\\\\Programme\n12=a\\\\nb\n13=tab\\t bleibt\n14=Ende\\\n"
        "20=%1 an COM%2\n21=%2 vor %1\n22=100% und %3\n"));
    const struct {
        int id;
        QStringList values;
        const char* text;
    } rows[] = {
        {1, {}, "<missing>"}, {2, {}, "<missing>"}, {3, {}, "<missing>"}, {7, {}, "<missing>"}, {0, {}, "<missing>"},
        {4, {}, "vier"}, {5, {}, " mit Blank"}, {6, {}, "a=b"}, {8, {}, ""}, // present, though empty
        {10, {}, "Zeile 1\r\nZeile 2"}, {11, {}, "C:\\Programme"}, {13, {}, "tab\\t bleibt"}, {14, {}, "Ende\\"},
        {12, {}, "a\\nb"}, // an escaped backslash does not start another escape
        {20, {"BD Logic", "3"}, "BD Logic an COM3"}, {21, {"a", "b"}, "b vor a"}, {22, {"x"}, "100% und %3"},
        // A value holding a placeholder is not replaced again; a value not passed leaves nothing behind.
        {20, {"%2", "7"}, "%2 an COM7"}, {20, {"BD Logic"}, "BD Logic an COM"},
    };
    for (const auto& r : rows) EXPECT_EQ(Text(pack.get(), r.id, r.values), QString::fromUtf8(r.text)) << r.id;
    EXPECT_EQ(pack->size(), 12);
    EXPECT_FALSE(loadres(nullptr, 4)); // no library
}

TEST(LanguageLibrary, IsThePackInTheFirstDirectoryOfTheSearchPathThatHasIt) {
    const ScopedEnv env("CORVANE_LANGUAGE_PATH", "/a:/b::/c d");
    EXPECT_EQ(LanguageSearchPath(QStringLiteral("/opt/x/bin")),
              (QStringList{"/a", "/b", "/c d", "/opt/x/bin/lang", "/opt/x/bin/../share/bdlogic/lang"}));
    qunsetenv("CORVANE_LANGUAGE_PATH");
    EXPECT_EQ(LanguageSearchPath(QStringLiteral("/p")), (QStringList{"/p/lang", "/p/../share/bdlogic/lang"}));

    QTemporaryDir root;
    const QString empty = root.filePath("leer"), second = root.filePath("zwei"), third = root.filePath("drei");
    ASSERT_TRUE(WriteBytes(second + "/Test.lng", "\xEF\xBB\xBF" "1=zwei\n")); // a byte order mark is allowed
    ASSERT_TRUE(WriteBytes(third + "/Test.lng", "1=drei\n"));
    ASSERT_TRUE(WriteBytes(empty + "/sub/Test.lng", "1=unten\n"));
    const QString test = QStringLiteral("Test.LanguageDLL");
    EXPECT_EQ(Text(CreateLanguageLibrary(test, {empty, second, third}).get(), 1), QStringLiteral("zwei"));
    EXPECT_EQ(Text(CreateLanguageLibrary(test, {third, second}).get(), 1), QStringLiteral("drei"));
    // No library: an empty X, no such pack, another class form, or a name that reaches into a subdirectory.
    for (const char* name : {".LanguageDLL", "Fehlt.LanguageDLL", "Test", "Test.Other", "sub/Test.LanguageDLL"})
        EXPECT_FALSE(CreateLanguageLibrary(QString::fromUtf8(name), {empty, second, third})) << name;
}

// Every text id the program looks up, with the number of values its callers pass.
const std::map<int, int> kUsedIds = {
    // start-up and wizard
    {1200, 1}, {1201, 0}, {1202, 0}, {1203, 0}, {1204, 2}, {1213, 0}, {1219, 0}, {1224, 0}, {1260, 0}, {1261, 0},
    {1336, 0}, {1399, 0}, {3041, 0}, {642, 2}, {649, 0}, {900, 0}, {901, 0}, {905, 0}, {908, 0},
    // meter link and download; USB cable
    {1207, 0}, {1216, 2}, {1217, 1}, {4311, 0}, {4313, 0}, {4317, 0}, {1234, 0}, {1387, 0}, {1388, 0}, {1389, 1},
    // result page, its chart and the batch summary
    {1232, 1}, {1347, 0}, {7300, 0}, {7301, 0}, {7302, 0}, {7303, 0}, {7304, 0}, {7305, 2}, {7306, 1},
    // marker set-up dialog
    {516, 0}, {517, 0}, {5136, 0}, {454, 0}, {1227, 0}, {326, 0}, {1035, 0}, {5505, 0}, {5107, 0}, {339, 0},
    {3512, 0}, {5707, 0}, {5708, 0}, {5709, 0}, {5710, 0}, {1263, 0}, {1264, 0}, {1265, 0}, {1266, 0}, {1267, 0},
    {1268, 0}, {1269, 0}, {1270, 0}, {1271, 0}, {1272, 0}, {1273, 0}, {1274, 0}, {1275, 0}, {1276, 0},
    // serial ports: the port list's tool tip of an empty number, the port test's permission line
    {7001, 1}, {7002, 2},
};

TEST(ShippedPacks, HaveAFittingTextForEveryIdAndNoOther) {
    for (const char* name : {"Deutsch", "English"}) {
        SCOPED_TRACE(name);
        const QString path = QStringLiteral(BDLOGIC_SOURCE_DIR "/src/resources/lang/%1.lng").arg(QLatin1String(name));
        const auto pack = LanguagePack::load(path);
        ASSERT_TRUE(pack);
        const auto idLines = QString::fromUtf8(ReadBytes(path)).count(QRegularExpression("(^|\n)\\d+="));
        EXPECT_EQ(idLines, pack->size()) << "an id is given twice";
        EXPECT_EQ(pack->size(), static_cast<qsizetype>(kUsedIds.size())) << "the pack holds ids nobody uses";

        // Each value the callers pass shows up in the text, and no text waits for a value nobody passes.
        const QStringList marks = {QStringLiteral("<value 1>"), QStringLiteral("<value 2>")};
        for (const auto& [id, values] : kUsedIds) {
            const auto text = pack->loadres(id, marks);
            ASSERT_TRUE(text) << id;
            EXPECT_FALSE(text->trimmed().isEmpty()) << id;
            for (int n = 1; n <= 2; ++n) EXPECT_EQ(text->contains(marks[n - 1]), n <= values) << id << " %" << n;
        }
        // Insulin types in the order of the dose split: nine mixes, then the pure kinds.
        for (int t = 0; t <= 8; ++t)
            EXPECT_EQ(Text(pack.get(), 1263 + t), QStringLiteral("Mix %1/%2").arg((t + 1) * 10).arg((9 - t) * 10));
        // Buttons whose text comes from their Tag get a caption and a tool tip.
        for (int id : {900, 901, 905, 1261}) {
            const ButtonText parts = SplitButtonText(Text(pack.get(), id));
            EXPECT_TRUE(parts.caption && parts.toolTip) << id;
        }
    }
}

TEST(TagTextId, ReadsTheNumberBehindUpperCaseL) {
    const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
        {"L905", 905}, {"L1260", 1260}, {"l1260", {}}, // the first L must be upper case
        {"L", {}},     {"", {}},        {"1260", {}},   {"L12L", 12}, {"L1l2", 12}, // every L goes, either case
        {"Lx", {}},    {"L40000", {}},                  // not a 16-bit number
    };
    for (const auto& [tag, id] : cases) EXPECT_EQ(TagTextId(QString::fromUtf8(tag)), id) << tag;
}

} // namespace
} // namespace bdlogic::test
