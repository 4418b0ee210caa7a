#include "importfile/profile_file.h"
#include "importfile/profile_paths.h"
#include "profile_test_support.h"
#include "support/scoped_env.h"
#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>

#include <locale.h>

#include <optional>
#include <vector>

namespace bdlogic {
namespace {

using test::ReadBytes;

class ProfileFileTest : public test::TempFiles {
protected:
    bool Write(const char* section, const char* key, const QString& value, const QString& file, bool defer = false) {
        return profile.ProfileWriteKey(QLatin1String(section), QLatin1String(key), value, file, defer);
    }
    ProfileFile profile;
};

TEST_F(ProfileFileTest, WritesGiveTheDocumentedLayouts) {
    struct KeyWrite {
        const char* section;
        const char* key;
        QString value;
    };
    const struct {
        const char* name;
        std::optional<QByteArray> before; // no file when empty
        std::vector<KeyWrite> writes;
        QByteArray after;
    } rows[] = {
        {"new file", std::nullopt, {{"S", "K", "V"}}, "\r\n[S]\r\nK=V\r\n"},
        {"new keys go below the header", std::nullopt, {{"S", "A", "1"}, {"S", "B", "2"}, {"S", "C", "3"}},
         "\r\n[S]\r\nC=3\r\nB=2\r\nA=1\r\n\r\n"},
        {"a key written twice keeps its place", std::nullopt,
         {{"S", "Entries", "0"}, {"S", "X", "1"}, {"S", "Entries", "5"}}, "\r\n[S]\r\nX=1\r\nEntries=5\r\n\r\n"},
        {"names ignore letter case, the key takes the new spelling", QByteArray("[S]\r\nEntries=1\r\n"),
         {{"s", "ENTRIES", "2"}}, "[S]\r\nENTRIES=2\r\n"},
        {"one empty line before a second section", std::nullopt, {{"S", "A", "1"}, {"T", "B", "2"}, {"S", "C", "3"}},
         "\r\n[S]\r\nC=3\r\nA=1\r\n\r\n[T]\r\nB=2\r\n"},
        {"the key search stops at the next section", QByteArray("[A]\r\nX=1\r\n[B]\r\nK=old\r\n"),
         {{"A", "K", "new"}}, "[A]\r\nK=new\r\nX=1\r\n[B]\r\nK=old\r\n"},
        {"values lose trailing blanks and may hold = and [", std::nullopt,
         {{"S", "K", "a=b [c]  "}, {"S", "K", "x=[T]"}, {"T", "M", QStringLiteral("\u00e4 \t")}},
         "\r\n[S]\r\nK=x=[T]\r\n\r\n[T]\r\nM=\xc3\xa4\r\n"},
        {"a key line with leading blanks is another key; of several empty lines only the last stays",
         QByteArray("\r\n\r\n[S]\r\n  A=1 \t\r\n\r\n\r\n"), {{"S", "A", "2"}}, "\r\n[S]\r\nA=2\r\nA=1\r\n\r\n"},
        {"an empty line stays only before a line holding [", QByteArray("[S]\r\nA=1\r\n\r\nB=[x]\r\n\r\nC=2\r\n"),
         {{"S", "D", "4"}}, "[S]\r\nD=4\r\nA=1\r\n\r\nB=[x]\r\nC=2\r\n\r\n"},
        {"a header is a line that begins with [, trimming comes at the save", QByteArray("  [S]  \r\n\tA=1 \r\n"),
         {{"S", "B", "2"}}, "[S]\r\nA=1\r\n\r\n[S]\r\nB=2\r\n"},
    };
    for (const auto& r : rows) {
        const QString file = path(QString::fromLatin1(r.name).replace(u' ', u'_') + QStringLiteral(".ini"));
        if (r.before) put(file, *r.before);
        profile.ProfileReset();
        for (const auto& w : r.writes) EXPECT_FALSE(Write(w.section, w.key, w.value, file)) << r.name;
        EXPECT_EQ(ReadBytes(file), r.after) << r.name;
        EXPECT_EQ(profile.ProfileLineCount(), 0) << r.name << ": a save forgets the table";
    }
}

TEST_F(ProfileFileTest, TextIsInTheLocalesCodePageAndUnchangedLinesKeepTheirBytes) {
    const struct {
        const char* locale;
        QByteArray before;
        QByteArray after; // after writing B = "ä€" into section S
    } rows[] = {
        {"C.UTF-8", "\xEF\xBB\xBF[S]\r\nA=\xE4\xFF x\r\n",
         "\xEF\xBB\xBF[S]\r\nB=\xC3\xA4\xE2\x82\xAC\r\nA=\xE4\xFF x\r\n\r\n"},
        {"C", "[S]\r\n", "[S]\r\nB=\xC3\xA4\xE2\x82\xAC\r\n\r\n"}, // no character set chosen: UTF-8
        {"de_DE.ISO-8859-1", "[S]\r\nA=\xE4\xC3\xA4\r\n", "[S]\r\nB=\xE4?\r\nA=\xE4\xC3\xA4\r\n\r\n"},
    };
    for (const auto& r : rows) {
        if (const locale_t l = newlocale(LC_CTYPE_MASK, r.locale, locale_t(nullptr)))
            freelocale(l);
        else
            GTEST_SKIP() << "locale " << r.locale << " is missing (scripts/setup generates it)";
        const test::ScopedEnv locale("LC_ALL", r.locale);
        ProfileFile inLocale;
        const QString file = path(QStringLiteral("codepage.ini"));
        put(file, r.before);
        inLocale.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("\u00e4\u20ac"),
                                 file, false);
        EXPECT_EQ(ReadBytes(file), r.after) << r.locale;
    }
}

TEST_F(ProfileFileTest, DeleteSectionRemovesTheSectionWithItsLines) {
    const QByteArray three = "\r\n[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n\r\n[C]\r\nZ=3\r\n";
    const std::pair<const char*, QByteArray> rows[] = {
        {"b", "\r\n[A]\r\nX=1\r\n\r\n[C]\r\nZ=3\r\n"},
        {"C", "\r\n[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n\r\n"},
        {"A", "\r\n[B]\r\nY=2\r\n\r\n[C]\r\nZ=3\r\n"},
    };
    for (const auto& [section, after] : rows) {
        const QString file = path(QStringLiteral("delete_%1.ini").arg(QLatin1String(section)));
        put(file, three);
        profile.ProfileDeleteSection(QLatin1String(section), file);
        EXPECT_EQ(ReadBytes(file), after) << section;
        EXPECT_TRUE(profile.heldFile().isEmpty()) << "saved and forgotten";
    }
    // A missing section saves nothing and keeps the file held; an invalid name loads nothing.
    const QString file = path(QStringLiteral("keep.ini"));
    put(file, "[A]\r\nX=1   \r\n");
    profile.ProfileDeleteSection(QStringLiteral("B"), file);
    EXPECT_EQ(ReadBytes(file), QByteArray("[A]\r\nX=1   \r\n"));
    EXPECT_EQ(profile.heldFile(), file);
    EXPECT_EQ(profile.lines(), (QStringList{"[A]", "X=1   ", ""}));
    profile.ProfileReset();
    profile.ProfileDeleteSection(QStringLiteral("A]"), file);
    EXPECT_TRUE(profile.heldFile().isEmpty());
}

TEST_F(ProfileFileTest, DeferredWritesReachTheDiskWithTheNextSave) {
    const QString file = path(QStringLiteral("defer.ini"));
    Write("S", "A", QStringLiteral("1"), file);
    Write("S", "B", QStringLiteral("2"), file, true);
    EXPECT_EQ(ReadBytes(file), QByteArray("\r\n[S]\r\nA=1\r\n"));
    Write("S", "C", QStringLiteral("3"), file);
    EXPECT_EQ(ReadBytes(file), QByteArray("\r\n[S]\r\nC=3\r\nB=2\r\nA=1\r\n\r\n"));

    // Writing another file loads it in place of the first: the first one's deferred change is lost.
    Write("S", "D", QStringLiteral("4"), file, true);
    Write("S", "E", QStringLiteral("5"), path(QStringLiteral("other.ini")));
    Write("S", "F", QStringLiteral("6"), file);
    EXPECT_EQ(ReadBytes(file), QByteArray("\r\n[S]\r\nF=6\r\nC=3\r\nB=2\r\nA=1\r\n\r\n"));
}

TEST_F(ProfileFileTest, WriteKeyLargeTakesTheWholeTextPathFrom31000Bytes) {
    const auto padded = [](const QByteArray& head, const QByteArray& tail, qsizetype size) {
        return head + QByteArray(size - head.size() - tail.size(), 'x') + tail;
    };
    const QByteArray small = padded("[S]\r\nA=", "   \r\n", 30999);
    const QByteArray large = padded("[S]\r\nA=", "   \r\n", 31000);
    const QByteArray largeLast = padded("[S]\r\nA=", "\r\n\r\n", 31000);
    const QByteArray largeTwo = padded("[S]\r\nK=old\r\nA=", "\r\n\r\n[T]\r\nK=t\r\n", 31000);
    QByteArray largeTwoAfter = largeTwo;
    largeTwoAfter.replace("K=old", "K=new");
    const struct {
        const char* name;
        QByteArray before;
        const char* section;
        const char* value;
        QByteArray after;
    } rows[] = {
        {"below 31000 bytes the engine saves (and trims)", small, "S", "V",
         "[S]\r\nK=V\r\nA=" + QByteArray(30999 - 12, 'x') + "\r\n\r\n"},
        {"at 31000 bytes the key is appended to the section's text", large, "S", "V", large + "K=V\r\n"},
        {"a body ending in an empty line loses it", largeLast, "S", "V", largeLast.chopped(2) + "K=V\r\n"},
        {"a present key is replaced up to its line end", largeTwo, "S", "new", largeTwoAfter + "\r\n"},
        {"a missing section is appended", large, "U", "V", large + "\r\n[U]\r\nK=V\r\n"},
    };
    for (const auto& r : rows) {
        const QString file = path(QStringLiteral("large.ini"));
        put(file, r.before);
        profile.ProfileReset();
        EXPECT_EQ(profile.ProfileWriteKeyLarge(QLatin1String(r.section), QStringLiteral("K"), QLatin1String(r.value),
                                               file),
                  0)
            << r.name;
        EXPECT_EQ(ReadBytes(file), r.after) << r.name;
    }
}

TEST_F(ProfileFileTest, AFailedSaveChangesNothingOnDiskAndStillForgetsTheTable) {
    EXPECT_FALSE(Write("S", "K", QStringLiteral("V"), path(QStringLiteral("no/such/dir/file.ini"))));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("no"))));
    EXPECT_EQ(profile.ProfileLineCount(), 0);
    EXPECT_TRUE(profile.heldFile().isEmpty());

    const QString readOnly = path(QStringLiteral("readonly.ini"));
    const QByteArray before = "[S]\r\nA=1\r\n";
    put(readOnly, before);
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    Write("S", "B", QStringLiteral("2"), readOnly);
    EXPECT_EQ(ReadBytes(readOnly), before);
    EXPECT_EQ(profile.ProfileLineCount(), 0);
    profile.ProfileDeleteSection(QStringLiteral("S"), readOnly);
    EXPECT_EQ(ReadBytes(readOnly), before);

    const QByteArray large = "[S]\r\nA=" + QByteArray(31000, 'x') + "\r\n";
    const QString readOnlyLarge = path(QStringLiteral("readonly_large.ini"));
    put(readOnlyLarge, large);
    ASSERT_TRUE(QFile::setPermissions(readOnlyLarge, QFileDevice::ReadOwner));
    profile.ProfileWriteKeyLarge(QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("2"), readOnlyLarge);
    EXPECT_EQ(ReadBytes(readOnlyLarge), large);

    const QString aDirectory = path(QStringLiteral("subdir"));
    ASSERT_TRUE(QDir().mkpath(aDirectory));
    Write("S", "K", QStringLiteral("V"), aDirectory);
    EXPECT_TRUE(QFileInfo(aDirectory).isDir());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no stray temporary files";
}

TEST_F(ProfileFileTest, BareNamesLieInTheDataDirectoryAndTheCurrentDirectoryStays) {
    const QString cwd = QDir::currentPath();
    {
        const test::ScopedEnv data("XDG_DATA_HOME", dir_.path().toUtf8() + "/data/");
        EXPECT_EQ(WindowsDirectory(), dir_.path() + QStringLiteral("/data/Corvane/"));
        Write("S", "K", QStringLiteral("V"), QStringLiteral("bare.ini"));
        EXPECT_EQ(ReadBytes(path(QStringLiteral("data/Corvane/bare.ini"))), QByteArray("\r\n[S]\r\nK=V\r\n"));
        EXPECT_TRUE(FileExists(QStringLiteral("bare.ini")));
        EXPECT_FALSE(FileExists(dir_.path())) << "only readable files exist";
        profile.ProfileLoad(QStringLiteral("bare.ini"));
        EXPECT_EQ(profile.ProfileLineCount(), 3);
    }
    {
        const test::ScopedEnv noData("XDG_DATA_HOME", QByteArray());
        const test::ScopedEnv home("HOME", dir_.path().toUtf8());
        EXPECT_EQ(WindowsDirectory(), dir_.path() + QStringLiteral("/.local/share/Corvane/"));
    }
    EXPECT_EQ(QDir::currentPath(), cwd);
}

} // namespace
} // namespace bdlogic
