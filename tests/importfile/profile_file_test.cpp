#include "golden_check.h"
#include "importfile/profile_file.h"
#include "importfile/profile_paths.h"
#include "profile_test_support.h"

#include <QDir>
#include <QFileInfo>

#include <optional>
#include <vector>

namespace bdlogic {
namespace {

using test::ReadBytes;
using test::ScopedEnv;

class ProfileFileTest : public test::TempFiles {
protected:
    ProfileFile profile;
};

struct Write {
    const char* section;
    const char* key;
    QString value;
};

TEST_F(ProfileFileTest, WritesGiveTheDocumentedLayouts) {
    const struct {
        const char* name;
        std::optional<QByteArray> before; // no file when empty
        std::vector<Write> writes;
        QByteArray after;
    } rows[] = {
        {"new file", std::nullopt, {{"S", "K", "V"}}, "\r\n[S]\r\nK=V\r\n"},
        {"new keys go below the header",
         std::nullopt,
         {{"S", "A", "1"}, {"S", "B", "2"}, {"S", "C", "3"}},
         "\r\n[S]\r\nC=3\r\nB=2\r\nA=1\r\n\r\n"},
        {"a key written twice keeps its place",
         std::nullopt,
         {{"S", "Entries", "0"}, {"S", "X", "1"}, {"S", "Entries", "5"}},
         "\r\n[S]\r\nX=1\r\nEntries=5\r\n\r\n"},
        {"names ignore letter case, the key takes the new spelling",
         QByteArray("[S]\r\nEntries=1\r\n"),
         {{"s", "ENTRIES", "2"}},
         "[S]\r\nENTRIES=2\r\n"},
        {"one empty line before a second section",
         std::nullopt,
         {{"S", "A", "1"}, {"T", "B", "2"}, {"S", "C", "3"}},
         "\r\n[S]\r\nC=3\r\nA=1\r\n\r\n[T]\r\nB=2\r\n"},
        {"the key search stops at the next section",
         QByteArray("[A]\r\nX=1\r\n[B]\r\nK=old\r\n"),
         {{"A", "K", "new"}},
         "[A]\r\nK=new\r\nX=1\r\n[B]\r\nK=old\r\n"},
        {"values lose trailing blanks and may hold = and [",
         std::nullopt,
         {{"S", "K", "a=b [c]  "}, {"S", "K", "x=[T]"}, {"T", "M", QStringLiteral("\u00e4 \t")}},
         "\r\n[S]\r\nK=x=[T]\r\n\r\n[T]\r\nM=\xc3\xa4\r\n"},
        {"a key line with leading blanks is another key; of several empty lines only the last stays",
         QByteArray("\r\n\r\n[S]\r\n  A=1 \t\r\n\r\n\r\n"),
         {{"S", "A", "2"}},
         "\r\n[S]\r\nA=2\r\nA=1\r\n\r\n"},
        {"an empty line stays only before a line holding [",
         QByteArray("[S]\r\nA=1\r\n\r\nB=[x]\r\n\r\nC=2\r\n"),
         {{"S", "D", "4"}},
         "[S]\r\nD=4\r\nA=1\r\n\r\nB=[x]\r\nC=2\r\n\r\n"},
        {"a header is a line that begins with [, trimming comes at the save",
         QByteArray("  [S]  \r\n\tA=1 \r\n"),
         {{"S", "B", "2"}},
         "[S]\r\nA=1\r\n\r\n[S]\r\nB=2\r\n"},
    };
    for (const auto& r : rows) {
        const QString file = path(QString::fromLatin1(r.name).replace(u' ', u'_') + QStringLiteral(".ini"));
        if (r.before) put(file, *r.before);
        profile.ProfileReset();
        for (const auto& w : r.writes)
            EXPECT_FALSE(profile.ProfileWriteKey(QLatin1String(w.section), QLatin1String(w.key), w.value,
                                                 file, false));
        const QByteArray bytes = ReadBytes(file);
        EXPECT_EQ(bytes, r.after) << r.name << "\n" << test::LineDiff(r.after, bytes);
        EXPECT_EQ(profile.ProfileLineCount(), 0) << r.name << ": a save forgets the table";
    }
}

TEST_F(ProfileFileTest, InvalidNamesAreRefusedAndChangeNothing) {
    const QString file = path(QStringLiteral("refused.ini"));
    const struct {
        const char* section;
        const char* key;
    } rows[] = {{"S[", "K"}, {"S]", "K"}, {"S=", "K"}, {"S", "K["}, {"S", "K]"}, {"S", "K="}, {"[S]", "K"}};
    for (const auto& r : rows) {
        EXPECT_TRUE(profile.ProfileWriteKey(QLatin1String(r.section), QLatin1String(r.key),
                                            QStringLiteral("V"), file, false))
            << r.section << " " << r.key;
        EXPECT_FALSE(QFileInfo::exists(file));
        EXPECT_TRUE(profile.heldFile().isEmpty());
    }
    EXPECT_TRUE(ProfileFile::ProfileValidName(QStringLiteral("Driver Version")));
    EXPECT_TRUE(ProfileFile::ProfileValidName(QString()));
}

TEST_F(ProfileFileTest, LoadEndsLinesAtCrOrCrLfOnly) {
    const QString other = path(QStringLiteral("other.ini"));
    put(other, "x\r\n");
    profile.ProfileLoad(other);
    const QString file = path(QStringLiteral("lines.ini"));
    put(file, "a\rb\r\nc\nd\r\n\r\n\xc3\xa4=1");
    profile.ProfileLoad(file);
    EXPECT_EQ(profile.lines(), (QStringList{"a", "b", "c\nd", "", QStringLiteral("\u00e4=1")}));
    EXPECT_EQ(profile.heldFile(), file);

    profile.ProfileLoad(path(QStringLiteral("missing.ini")));
    EXPECT_EQ(profile.ProfileLineCount(), 0);
    EXPECT_EQ(profile.heldFile(), file) << "a file that cannot be opened keeps the held name";
}

TEST_F(ProfileFileTest, FindLineStopsAndAppendsAsDocumented) {
    const QString file = path(QStringLiteral("find.ini"));
    put(file, "\r\n[S]\r\nA=1\r\n\r\n[T]\r\nB=2\r\n"); // lines: "", [S], A=1, "", [T], B=2
    const struct {
        int from;
        const char* text;
        bool stopAtSection;
        bool found;
        int position;
        int count; // 7 when an empty line was appended
    } rows[] = {
        {0, "[t]", false, true, 5, 6}, {2, "b=", true, false, 5, 6},   {5, "b=", true, true, 6, 6},
        {5, "c=", true, false, 7, 7},  {0, "[U]", false, false, 7, 7}, {2, "[", true, false, 5, 6},
        {5, "[", true, false, 7, 7},   {0, "A=1", false, true, 3, 6},  {6, "B", false, false, 7, 7},
    };
    for (const auto& r : rows) {
        profile.ProfileLoad(file);
        int position = r.from;
        EXPECT_EQ(profile.ProfileFindLine(position, QLatin1String(r.text), r.stopAtSection), r.found)
            << r.text;
        EXPECT_EQ(position, r.position) << r.text << " from " << r.from;
        EXPECT_EQ(profile.ProfileLineCount(), r.count) << r.text << " from " << r.from;
        if (r.count == 7) {
            EXPECT_TRUE(profile.lines().constLast().isEmpty());
        }
    }
}

TEST_F(ProfileFileTest, DeleteSectionRemovesTheSectionWithItsLines) {
    const QByteArray three = "\r\n[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n\r\n[C]\r\nZ=3\r\n";
    const struct {
        const char* section;
        QByteArray after;
    } rows[] = {
        {"b", "\r\n[A]\r\nX=1\r\n\r\n[C]\r\nZ=3\r\n"},
        {"C", "\r\n[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n\r\n"},
        {"A", "\r\n[B]\r\nY=2\r\n\r\n[C]\r\nZ=3\r\n"},
    };
    for (const auto& r : rows) {
        const QString file = path(QStringLiteral("delete_%1.ini").arg(QLatin1String(r.section)));
        put(file, three);
        profile.ProfileDeleteSection(QLatin1String(r.section), file);
        EXPECT_EQ(ReadBytes(file), r.after) << r.section << "\n" << test::LineDiff(r.after, ReadBytes(file));
        EXPECT_TRUE(profile.heldFile().isEmpty()) << "saved and forgotten";
    }
}

TEST_F(ProfileFileTest, DeletingAMissingSectionSavesNothingAndKeepsTheFileHeld) {
    const QString file = path(QStringLiteral("keep.ini"));
    put(file, "[A]\r\nX=1   \r\n");
    profile.ProfileDeleteSection(QStringLiteral("B"), file);
    EXPECT_EQ(ReadBytes(file), QByteArray("[A]\r\nX=1   \r\n"));
    EXPECT_EQ(profile.heldFile(), file);
    EXPECT_EQ(profile.lines(), (QStringList{"[A]", "X=1   ", ""}));

    profile.ProfileReset();
    profile.ProfileDeleteSection(QStringLiteral("A]"), file);
    EXPECT_TRUE(profile.heldFile().isEmpty()) << "an invalid name loads nothing";
    EXPECT_EQ(ReadBytes(file), QByteArray("[A]\r\nX=1   \r\n"));
}

TEST_F(ProfileFileTest, DeferredWritesReachTheDiskWithTheNextSave) {
    const QString file = path(QStringLiteral("defer.ini"));
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("A"), QStringLiteral("1"), file, false);
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("2"), file, true);
    EXPECT_EQ(ReadBytes(file), QByteArray("\r\n[S]\r\nA=1\r\n"));
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("C"), QStringLiteral("3"), file, false);
    EXPECT_EQ(ReadBytes(file), QByteArray("\r\n[S]\r\nC=3\r\nB=2\r\nA=1\r\n\r\n"));

    // Writing another file loads it in place of the first: the first one's deferred change is lost.
    const QString other = path(QStringLiteral("other.ini"));
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("D"), QStringLiteral("4"), file, true);
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("E"), QStringLiteral("5"), other, false);
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("F"), QStringLiteral("6"), file, false);
    EXPECT_EQ(ReadBytes(file), QByteArray("\r\n[S]\r\nF=6\r\nC=3\r\nB=2\r\nA=1\r\n\r\n"));

    // A deferred change to a file that does not exist yet is lost at the next write, which loads again.
    const QString fresh = path(QStringLiteral("fresh.ini"));
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("A"), QStringLiteral("1"), fresh, true);
    EXPECT_FALSE(QFileInfo::exists(fresh));
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("2"), fresh, false);
    EXPECT_EQ(ReadBytes(fresh), QByteArray("\r\n[S]\r\nB=2\r\n"));
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
        {"a body ending in an empty line loses it", largeLast, "S", "V",
         largeLast.left(largeLast.size() - 2) + "K=V\r\n"},
        {"a present key is replaced up to its line end", largeTwo, "S", "new", largeTwoAfter + "\r\n"},
        {"a missing section is appended", large, "U", "V", large + "\r\n[U]\r\nK=V\r\n"},
    };
    for (const auto& r : rows) {
        const QString file = path(QStringLiteral("large.ini"));
        put(file, r.before);
        profile.ProfileReset();
        EXPECT_EQ(profile.ProfileWriteKeyLarge(QLatin1String(r.section), QStringLiteral("K"),
                                               QLatin1String(r.value), file),
                  0)
            << r.name;
        const QByteArray bytes = ReadBytes(file);
        EXPECT_EQ(bytes, r.after) << r.name << "\n" << test::LineDiff(r.after, bytes);
    }

    const QString missing = path(QStringLiteral("missing_large.ini"));
    EXPECT_EQ(
        profile.ProfileWriteKeyLarge(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("V"), missing),
        0);
    EXPECT_EQ(ReadBytes(missing), QByteArray("\r\n[S]\r\nK=V\r\n"));
}

TEST_F(ProfileFileTest, AFailedSaveChangesNothingOnDiskAndStillForgetsTheTable) {
    const QString inMissingDir = path(QStringLiteral("no/such/dir/file.ini"));
    EXPECT_FALSE(profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("V"),
                                         inMissingDir, false));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("no"))));
    EXPECT_EQ(profile.ProfileLineCount(), 0);
    EXPECT_TRUE(profile.heldFile().isEmpty());

    const QString readOnly = path(QStringLiteral("readonly.ini"));
    const QByteArray before = "[S]\r\nA=1\r\n";
    put(readOnly, before);
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("2"), readOnly, false);
    EXPECT_EQ(ReadBytes(readOnly), before);
    EXPECT_EQ(profile.ProfileLineCount(), 0);
    profile.ProfileDeleteSection(QStringLiteral("S"), readOnly);
    EXPECT_EQ(ReadBytes(readOnly), before);

    const QByteArray large = "[S]\r\nA=" + QByteArray(31000, 'x') + "\r\n";
    const QString readOnlyLarge = path(QStringLiteral("readonly_large.ini"));
    put(readOnlyLarge, large);
    ASSERT_TRUE(QFile::setPermissions(readOnlyLarge, QFileDevice::ReadOwner));
    profile.ProfileWriteKeyLarge(QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("2"),
                                 readOnlyLarge);
    EXPECT_EQ(ReadBytes(readOnlyLarge), large);

    const QString aDirectory = path(QStringLiteral("subdir"));
    ASSERT_TRUE(QDir().mkpath(aDirectory));
    profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("V"), aDirectory, false);
    EXPECT_TRUE(QFileInfo(aDirectory).isDir());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "no stray temporary files";
}

TEST_F(ProfileFileTest, FileExistsOnlyForReadableFiles) {
    const QString file = path(QStringLiteral("exists.ini"));
    put(file, "");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir_.path()));
    EXPECT_FALSE(FileExists(path(QStringLiteral("missing.ini"))));
}

TEST_F(ProfileFileTest, BareNamesLieInTheDataDirectoryAndTheCurrentDirectoryStays) {
    const QString cwd = QDir::currentPath();
    {
        const ScopedEnv data("XDG_DATA_HOME", dir_.path().toUtf8() + "/data/");
        EXPECT_EQ(WindowsDirectory(), dir_.path() + QStringLiteral("/data/Corvane/"));
        profile.ProfileWriteKey(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("V"),
                                QStringLiteral("bare.ini"), false);
        EXPECT_EQ(ReadBytes(path(QStringLiteral("data/Corvane/bare.ini"))), QByteArray("\r\n[S]\r\nK=V\r\n"));
        EXPECT_TRUE(FileExists(QStringLiteral("bare.ini")));
        profile.ProfileLoad(QStringLiteral("bare.ini"));
        EXPECT_EQ(profile.ProfileLineCount(), 3);
    }
    {
        const ScopedEnv noData("XDG_DATA_HOME", QByteArray());
        const ScopedEnv home("HOME", dir_.path().toUtf8());
        EXPECT_EQ(WindowsDirectory(), dir_.path() + QStringLiteral("/.local/share/Corvane/"));
    }
    EXPECT_EQ(QDir::currentPath(), cwd);
}

} // namespace
} // namespace bdlogic
