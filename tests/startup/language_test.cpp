#include "startup/language.h"
#include "startup/localise.h"
#include "support/scoped_env.h"
#include "support/test_files.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace bdlogic {
namespace {

using test::ScopedEnv;
using test::WriteBytes;

QString Text(const LanguagePack& pack, int id, const QStringList& values = {}) {
    return pack.loadres(id, values).value_or(QStringLiteral("<missing>"));
}

TEST(LanguagePack, UnescapesLineBreaksAndBackslashesOnly) {
    const auto pack = LanguagePack::fromText(QStringLiteral(
        R"(1=Zeile 1\nZeile 2
2=C:\\Programme
3=a\\nb
4=tab\t bleibt
5=Ende\
)"));
    EXPECT_EQ(Text(*pack, 1), QStringLiteral("Zeile 1\r\nZeile 2"));
    EXPECT_EQ(Text(*pack, 2), QStringLiteral("C:\\Programme"));
    EXPECT_EQ(Text(*pack, 3), QStringLiteral("a\\nb")); // an escaped backslash does not start another escape
    EXPECT_EQ(Text(*pack, 4), QStringLiteral("tab\\t bleibt"));
    EXPECT_EQ(Text(*pack, 5), QStringLiteral("Ende\\"));
}

TEST(LanguagePack, PlacesTheValuesOnce) {
    const auto pack = LanguagePack::fromText(QStringLiteral("1=%1 an COM%2\n2=%2 vor %1\n3=100% und %3\n"));
    const struct {
        int id;
        QStringList values;
        QString expected;
    } cases[] = {
        {1, {QStringLiteral("BD Logic"), QStringLiteral("3")}, QStringLiteral("BD Logic an COM3")},
        {2, {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("b vor a")},
        // A value holding a placeholder is not replaced again; a value not passed leaves nothing behind.
        {1, {QStringLiteral("%2"), QStringLiteral("7")}, QStringLiteral("%2 an COM7")},
        {1, {QStringLiteral("BD Logic")}, QStringLiteral("BD Logic an COM")},
        {3, {QStringLiteral("x")}, QStringLiteral("100% und %3")},
    };
    for (const auto& c : cases) EXPECT_EQ(Text(*pack, c.id, c.values), c.expected) << c.id;
}

TEST(LanguagePack, SkipsCommentsBlankLinesAndMalformedLines) {
    const auto pack = LanguagePack::fromText(
        QStringLiteral("# 1=kommentar\r\n; 2=kommentar\r\n   \r\n   # 3=eingerückt\r\nohne Gleichheitszeichen\r\n"
                       "x=5\r\n=7\r\n 4 =vier\r\n5= mit Blank\r\n6=a=b\r\n8=\r\n"));
    EXPECT_EQ(pack->size(), 4);
    for (int id : {1, 2, 3, 7}) EXPECT_FALSE(pack->loadres(id)) << id;
    EXPECT_EQ(Text(*pack, 4), QStringLiteral("vier"));
    EXPECT_EQ(Text(*pack, 5), QStringLiteral(" mit Blank"));
    EXPECT_EQ(Text(*pack, 6), QStringLiteral("a=b"));
    EXPECT_EQ(Text(*pack, 8), QString()); // present, though empty
}

TEST(LanguagePack, AMissingIdOrLibraryFails) {
    const auto pack = LanguagePack::fromText(QStringLiteral("905=&Weiter >>\n"));
    EXPECT_FALSE(pack->loadres(906));
    EXPECT_FALSE(loadres(pack.get(), 0));
    EXPECT_FALSE(loadres(nullptr, 905));
    EXPECT_EQ(loadres(pack.get(), 905), QStringLiteral("&Weiter >>"));
}

TEST(LanguageSearchPath, EnvironmentEntriesFirstThenNextToTheProgram) {
    {
        const ScopedEnv env("CORVANE_LANGUAGE_PATH", "/a:/b::/c d");
        EXPECT_EQ(LanguageSearchPath(QStringLiteral("/opt/x/bin")),
                  (QStringList{"/a", "/b", "/c d", "/opt/x/bin/lang", "/opt/x/bin/../share/bdlogic/lang"}));
    }
    const ScopedEnv env("CORVANE_LANGUAGE_PATH", QByteArray());
    EXPECT_EQ(LanguageSearchPath(QStringLiteral("/p")), (QStringList{"/p/lang", "/p/../share/bdlogic/lang"}));
}

TEST(CreateLanguageLibrary, TakesThePackFromTheFirstDirectoryThatHasIt) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString empty = root.filePath("leer"), second = root.filePath("zwei"), third = root.filePath("drei");
    ASSERT_TRUE(WriteBytes(second + "/Test.lng", "\xEF\xBB\xBF" "1=zwei\n")); // a byte order mark is allowed
    ASSERT_TRUE(WriteBytes(third + "/Test.lng", "1=drei\n"));
    ASSERT_TRUE(WriteBytes(empty + "/sub/Test.lng", "1=unten\n"));

    const auto first = CreateLanguageLibrary(QStringLiteral("Test.LanguageDLL"), {empty, second, third});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->loadres(1), QStringLiteral("zwei"));
    const auto reversed = CreateLanguageLibrary(QStringLiteral("Test.LanguageDLL"), {third, second});
    ASSERT_TRUE(reversed);
    EXPECT_EQ(reversed->loadres(1), QStringLiteral("drei"));

    // No library: an empty X, no such pack, another class form, or a name that reaches into a subdirectory.
    for (const char* name : {".LanguageDLL", "Fehlt.LanguageDLL", "Test", "Test.Other", "sub/Test.LanguageDLL"})
        EXPECT_FALSE(CreateLanguageLibrary(QString::fromUtf8(name), {empty, second, third})) << name;
}

// Every text id the program looks up, with the number of values its callers pass.
const std::map<int, int> kUsedIds = {
    // start-up and wizard
    {1200, 1}, {1201, 0}, {1202, 0}, {1203, 0}, {1204, 2}, {1213, 0}, {1219, 0}, {1224, 0}, {1260, 0},
    {1261, 0}, {1336, 0}, {1399, 0}, {3041, 0}, {642, 2}, {649, 0}, {900, 0}, {901, 0}, {905, 0}, {908, 0},
    // meter link and download
    {1207, 0}, {1216, 2}, {1217, 1}, {4311, 0}, {4313, 0}, {4317, 0}, {1234, 0},
    // USB cable
    {1387, 0}, {1388, 0}, {1389, 1},
    // result page, its chart and the batch summary
    {1232, 1}, {1347, 0}, {7300, 0}, {7301, 0}, {7302, 0}, {7303, 0}, {7304, 0}, {7305, 2}, {7306, 1},
    // marker set-up dialog
    {516, 0}, {517, 0}, {5136, 0}, {454, 0}, {1227, 0}, {326, 0}, {1035, 0}, {5505, 0}, {5107, 0}, {339, 0},
    {3512, 0}, {5707, 0}, {5708, 0}, {5709, 0}, {5710, 0}, {1263, 0}, {1264, 0}, {1265, 0}, {1266, 0},
    {1267, 0}, {1268, 0}, {1269, 0}, {1270, 0}, {1271, 0}, {1272, 0}, {1273, 0}, {1274, 0}, {1275, 0},
    {1276, 0},
    // serial ports: the port list's tool tip of an empty number, the port test's permission line
    {7001, 1}, {7002, 2},
};

QString PackPath(const char* name) {
    return QStringLiteral(BDLOGIC_SOURCE_DIR "/src/resources/lang/") + QString::fromUtf8(name) +
           QStringLiteral(".lng");
}

TEST(ShippedPacks, HaveAFittingTextForEveryIdAndNoOther) {
    for (const char* name : {"Deutsch", "English"}) {
        SCOPED_TRACE(name);
        const auto pack = LanguagePack::load(PackPath(name));
        ASSERT_TRUE(pack);
        const QString file = QString::fromUtf8(test::ReadBytes(PackPath(name)));
        const auto idLines = file.count(QRegularExpression("(^|\n)\\d+="));
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
            EXPECT_EQ(Text(*pack, 1263 + t), QStringLiteral("Mix %1/%2").arg((t + 1) * 10).arg((9 - t) * 10)) << t;
        // Buttons whose text comes from their Tag get a caption and a tool tip.
        for (int id : {900, 901, 905, 1261}) {
            const ButtonText parts = SplitButtonText(Text(*pack, id));
            EXPECT_TRUE(parts.caption && parts.toolTip) << id;
        }
    }
}

TEST(ShippedPacks, GermanTextsAreTheWindowsDesignerTexts) {
    const auto pack = LanguagePack::load(PackPath("Deutsch"));
    ASSERT_TRUE(pack);
    const std::map<int, QString> labels = {
        {1260, QStringLiteral("Bitte wählen Sie EINSTELLUNGEN, um den Datenimport zu konfigurieren")},
        {1202, QStringLiteral("Bitte wählen Sie die Schnittstelle, an welche das Meßgerät angeschlossen ist.")},
        {1213, QStringLiteral("Folgende Daten wurden aus dem Messgerät ausgelesen:")},
        {1219, QStringLiteral("Blutzucker:")},
        {3041, QStringLiteral("Insulin:")},
        {1224, QStringLiteral("Geräte-ID:")},
        {516, QStringLiteral("Blut&zucker")},
        {517, QStringLiteral("&Insulin")},
        {5136, QStringLiteral("Insulin")},
        {454, QStringLiteral("Insulin")},
        {1227, QStringLiteral("Insulinbezeichnungen übersetzen:")},
    };
    for (const auto& [id, text] : labels) EXPECT_EQ(Text(*pack, id), text) << id;
    const std::map<int, QString> buttons = {
        {905, QStringLiteral("&Weiter >>")},
        {901, QStringLiteral("&Abbrechen")},
        {900, QStringLiteral("&OK")},
        {1261, QStringLiteral("&Einstellungen")},
    };
    for (const auto& [id, caption] : buttons) EXPECT_EQ(SplitButtonText(Text(*pack, id)).caption, caption) << id;
}

TEST(TagTextId, ReadsTheNumberBehindUpperCaseL) {
    const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
        {"L905", 905},        {"L1260", 1260},         {"l1260", std::nullopt}, // the first L must be upper case
        {"L", std::nullopt},  {"", std::nullopt},      {"1260", std::nullopt},
        {"L12L", 12},         {"L1l2", 12},            // every L goes, either case
        {"Lx", std::nullopt}, {"L40000", std::nullopt}, // not a 16-bit number
    };
    for (const auto& [tag, id] : cases) EXPECT_EQ(TagTextId(QString::fromUtf8(tag)), id) << tag;
}

} // namespace
} // namespace bdlogic
