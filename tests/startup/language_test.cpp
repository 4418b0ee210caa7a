#include "startup/common_code.h"
#include "startup/language.h"
#include "startup/localise.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace bdlogic {
namespace {

QString Text(const LanguagePack& pack, int id, const QStringList& values = {}) {
    return pack.loadres(id, values).value_or(QStringLiteral("<missing>"));
}

// Sets CORVANE_LANGUAGE_PATH (or removes it) for one test and puts the old value back.
class LanguagePathGuard {
public:
    explicit LanguagePathGuard(const std::optional<QByteArray>& value)
        : had_(qEnvironmentVariableIsSet(kName)), old_(qgetenv(kName)) {
        if (value)
            qputenv(kName, *value);
        else
            qunsetenv(kName);
    }
    ~LanguagePathGuard() {
        if (had_)
            qputenv(kName, old_);
        else
            qunsetenv(kName);
    }

private:
    static constexpr const char* kName = "CORVANE_LANGUAGE_PATH";
    bool had_;
    QByteArray old_;
};

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

TEST(LanguagePack, UnescapesLineBreaksAndBackslashesOnly) {
    const auto pack = LanguagePack::fromText(QStringLiteral(
        R"(1=Zeile 1\nZeile 2
2=C:\\Programme
3=a\\nb
4=tab\t bleibt
5=Ende\
6=\n\nTreiber
)"));
    EXPECT_EQ(Text(*pack, 1), QStringLiteral("Zeile 1\r\nZeile 2"));
    EXPECT_EQ(Text(*pack, 2), QStringLiteral("C:\\Programme"));
    EXPECT_EQ(Text(*pack, 3), QStringLiteral("a\\nb")); // an escaped backslash does not start another escape
    EXPECT_EQ(Text(*pack, 4), QStringLiteral("tab\\t bleibt"));
    EXPECT_EQ(Text(*pack, 5), QStringLiteral("Ende\\"));
    EXPECT_EQ(Text(*pack, 6), QStringLiteral("\r\n\r\nTreiber"));
}

TEST(LanguagePack, PlacesTheValuesOnce) {
    const auto pack = LanguagePack::fromText(QStringLiteral(
        "1=%1 an COM%2\n2=%2 vor %1\n3=Einträge: %1\n4=100% und %3\n5=%%1\n"));
    struct Case {
        int id;
        QStringList values;
        QString expected;
    };
    const Case cases[] = {
        {1, {QStringLiteral("BD Logic"), PlainDecimal(3)}, QStringLiteral("BD Logic an COM3")},
        {2, {QStringLiteral("a"), QStringLiteral("b")}, QStringLiteral("b vor a")},
        {3, {PlainDecimal(12345)}, QStringLiteral("Einträge: 12345")},
        {3, {PlainDecimal(-2)}, QStringLiteral("Einträge: -2")},
        // A value holding a placeholder is not replaced again.
        {1, {QStringLiteral("%2"), QStringLiteral("7")}, QStringLiteral("%2 an COM7")},
        // A value the caller does not pass leaves nothing behind.
        {1, {QStringLiteral("BD Logic")}, QStringLiteral("BD Logic an COM")},
        {4, {QStringLiteral("x")}, QStringLiteral("100% und %3")},
        {5, {QStringLiteral("x")}, QStringLiteral("%x")},
    };
    for (const Case& c : cases) EXPECT_EQ(Text(*pack, c.id, c.values), c.expected) << c.id;
}

TEST(LanguagePack, SkipsCommentsBlankLinesAndMalformedLines) {
    const auto pack = LanguagePack::fromText(QStringLiteral(
        "# 1=kommentar\r\n"
        "; 2=kommentar\r\n"
        "   \r\n"
        "\r\n"
        "   # 3=eingerückt\r\n"
        "ohne Gleichheitszeichen\r\n"
        "x=5\r\n"
        "=7\r\n"
        " 4 =vier\r\n"
        "5= mit Blank\r\n"
        "6=a=b\r\n"
        "8=\r\n"));
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

TEST(LanguagePack, LoadsUtf8FilesWithOrWithoutBom) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray body = QStringLiteral("1224=Geräte-ID:\n1200=Datenimport %1\n").toUtf8();
    ASSERT_TRUE(WriteFile(dir.filePath("bom.lng"), QByteArray("\xEF\xBB\xBF") + body));
    ASSERT_TRUE(WriteFile(dir.filePath("plain.lng"), body));
    for (const char* name : {"bom.lng", "plain.lng"}) {
        const auto pack = LanguagePack::load(dir.filePath(name));
        ASSERT_TRUE(pack) << name;
        EXPECT_EQ(Text(*pack, 1224), QStringLiteral("Geräte-ID:")) << name;
        EXPECT_EQ(Text(*pack, 1200, {QStringLiteral("BD Logic")}), QStringLiteral("Datenimport BD Logic")) << name;
    }
    EXPECT_FALSE(LanguagePack::load(dir.filePath("fehlt.lng")));
}

TEST(LanguageSearchPath, EnvironmentEntriesFirstThenNextToTheProgram) {
    {
        LanguagePathGuard env(QByteArray("/a:/b::/c d"));
        EXPECT_EQ(LanguageSearchPath(QStringLiteral("/opt/x/bin")),
                  (QStringList{"/a", "/b", "/c d", "/opt/x/bin/lang", "/opt/x/bin/../share/bdlogic/lang"}));
    }
    {
        LanguagePathGuard env(std::nullopt);
        EXPECT_EQ(LanguageSearchPath(QStringLiteral("/p")),
                  (QStringList{"/p/lang", "/p/../share/bdlogic/lang"}));
    }
}

TEST(CreateLanguageLibrary, TakesThePackFromTheFirstDirectoryThatHasIt) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString empty = root.filePath("leer"), second = root.filePath("zwei"), third = root.filePath("drei");
    QDir().mkpath(empty);
    ASSERT_TRUE(WriteFile(second + "/Test.lng", "1=zwei\n"));
    ASSERT_TRUE(WriteFile(third + "/Test.lng", "1=drei\n"));
    ASSERT_TRUE(WriteFile(empty + "/sub/Test.lng", "1=unten\n"));

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

TEST(CreateLanguageLibrary, FindsTheShippedPacksNextToTheBuiltProgram) {
    LanguagePathGuard env(std::nullopt);
    const QStringList path = LanguageSearchPath(QStringLiteral(BDLOGIC_BUILD_DIR));
    const auto german = CreateLanguageLibrary(QStringLiteral("Deutsch.LanguageDLL"), path);
    const auto english = CreateLanguageLibrary(QStringLiteral("English.LanguageDLL"), path);
    ASSERT_TRUE(german);
    ASSERT_TRUE(english);
    EXPECT_EQ(german->loadres(1219), QStringLiteral("Blutzucker:"));
    EXPECT_EQ(english->loadres(1219), QStringLiteral("Blood glucose:"));
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
    // result page
    {1232, 1}, {1347, 0},
    // marker set-up dialog
    {516, 0}, {517, 0}, {5136, 0}, {454, 0}, {1227, 0}, {326, 0}, {1035, 0}, {5505, 0}, {5107, 0}, {339, 0},
    {3512, 0}, {5707, 0}, {5708, 0}, {5709, 0}, {5710, 0}, {1263, 0}, {1264, 0}, {1265, 0}, {1266, 0},
    {1267, 0}, {1268, 0}, {1269, 0}, {1270, 0}, {1271, 0}, {1272, 0}, {1273, 0}, {1274, 0}, {1275, 0},
    {1276, 0},
};
// Buttons whose text comes from their Tag and is split into caption and tool tip.
const int kTaggedButtons[] = {900, 901, 905, 1261};

QString PackPath(const char* name) {
    return QStringLiteral(BDLOGIC_SOURCE_DIR "/src/resources/lang/") + QString::fromUtf8(name) +
           QStringLiteral(".lng");
}

class ShippedPack : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedPack, HasAFittingTextForEveryIdAndNoOther) {
    const auto pack = LanguagePack::load(PackPath(GetParam()));
    ASSERT_TRUE(pack);
    QFile file(PackPath(GetParam()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto idLines = QString::fromUtf8(file.readAll()).count(QRegularExpression("(^|\n)\\d+="));
    EXPECT_EQ(idLines, pack->size()) << "an id is given twice";
    EXPECT_EQ(pack->size(), static_cast<qsizetype>(kUsedIds.size())) << "the pack holds ids nobody uses";

    // Each value the callers pass shows up in the text, and no text waits for a value nobody passes.
    const QStringList marks = {QStringLiteral("<value 1>"), QStringLiteral("<value 2>")};
    for (const auto& [id, values] : kUsedIds) {
        const auto text = pack->loadres(id, marks);
        ASSERT_TRUE(text) << id;
        EXPECT_FALSE(text->trimmed().isEmpty()) << id;
        for (int n = 1; n <= 2; ++n) EXPECT_EQ(text->contains(marks[n - 1]), n <= values) << id << " %" << n;
        for (const QString& line : text->split(QStringLiteral("\r\n")))
            EXPECT_LE(line.size(), 140) << id << " does not fit a wizard label";
    }
}

TEST_P(ShippedPack, ButtonAndListTextsSuitTheirControls) {
    const auto pack = LanguagePack::load(PackPath(GetParam()));
    ASSERT_TRUE(pack);
    for (int id : kTaggedButtons) {
        const ButtonText parts = SplitButtonText(Text(*pack, id));
        ASSERT_TRUE(parts.caption) << id;
        EXPECT_LE(parts.caption->size(), 16) << id;
        EXPECT_TRUE(parts.toolTip) << id;
    }
    // The result page sets this caption directly: a tool tip part would show on the button.
    EXPECT_FALSE(Text(*pack, 908).contains(u'|'));

    // Data types lose their "&", unit descriptions and column titles their ":", through CutChar.
    for (int id = 5707; id <= 5710; ++id) {
        QString text = Text(*pack, id);
        EXPECT_EQ(text.count(u'&'), 1) << id;
        EXPECT_FALSE(CutChar(text, u'&').contains(u'&')) << id;
    }
    for (int id : {5107, 339, 3512, 326, 1035}) {
        const QString text = Text(*pack, id);
        EXPECT_TRUE(text.endsWith(u':')) << id;
        EXPECT_EQ(text.count(u':'), 1) << id;
    }
    // Insulin types in the order of the dose split: nine mixes, then the pure kinds.
    for (int t = 0; t <= 8; ++t)
        EXPECT_EQ(Text(*pack, 1263 + t), QStringLiteral("Mix %1/%2").arg((t + 1) * 10).arg((9 - t) * 10)) << t;
    for (int id = 1263; id <= 1276; ++id) EXPECT_LE(Text(*pack, id).size(), 30) << id;
}

INSTANTIATE_TEST_SUITE_P(Packs, ShippedPack, ::testing::Values("Deutsch", "English"));

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

    const auto english = LanguagePack::load(PackPath("English"));
    ASSERT_TRUE(english);
    EXPECT_EQ(SplitButtonText(Text(*english, 1261)).caption, QStringLiteral("&Settings"));
}

} // namespace
} // namespace bdlogic
