#include "importfile/profile_file.h"
#include "importfile/profile_paths.h"
#include "support/scoped_env.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <locale.h>

#include <optional>
#include <vector>

namespace bdlogic {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class ProfileFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
    ProfileFile profile;
};

TEST_F(ProfileFileTest, EachOperationLeavesTheDocumentedBytes) {
    enum Kind { Write, Defer, WriteElsewhere, Large, Delete };
    struct Op {
        Kind kind;
        const char* section;
        const char* key = "K";
        QString value = QStringLiteral("V");
    };
    const auto padded = [](const QByteArray& head, const QByteArray& tail, qsizetype size) {
        return head + QByteArray(size - head.size() - tail.size(), 'x') + tail;
    };
    const QByteArray three = "\r\n[A]\r\nX=1\r\n\r\n[B]\r\nY=2\r\n\r\n[C]\r\nZ=3\r\n";
    const QByteArray large = padded("[S]\r\nA=", "   \r\n", 31000);
    const QByteArray largeLast = padded("[S]\r\nA=", "\r\n\r\n", 31000);
    const QByteArray largeTwo = padded("[S]\r\nK=old\r\nA=", "\r\n\r\n[T]\r\nK=t\r\n", 31000);
    const struct {
        const char* name;
        std::optional<QByteArray> before; // no file when empty
        std::vector<Op> ops;
        QByteArray after;
    } rows[] = {
        {"names ignore letter case, the key takes the new spelling", "[S]\r\nEntries=1\r\n",
         {{Write, "s", "ENTRIES", "2"}}, "[S]\r\nENTRIES=2\r\n"},
        {"the key search stops at the next section", "[A]\r\nX=1\r\n[B]\r\nK=old\r\n", {{Write, "A", "K", "new"}},
         "[A]\r\nK=new\r\nX=1\r\n[B]\r\nK=old\r\n"},
        {"values lose trailing blanks and may hold = and [", std::nullopt,
         {{Write, "S", "K", "a=b [c]  "}, {Write, "S", "K", "x=[T]"}, {Write, "T", "M", "\u00e4 \t"}},
         "\r\n[S]\r\nK=x=[T]\r\n\r\n[T]\r\nM=\xc3\xa4\r\n"},
        {"a key line with leading blanks is another key; of several empty lines only the last stays",
         "\r\n\r\n[S]\r\n  A=1 \t\r\n\r\n\r\n", {{Write, "S", "A", "2"}}, "\r\n[S]\r\nA=2\r\nA=1\r\n\r\n"},
        {"an empty line stays only before a line holding [", "[S]\r\nA=1\r\n\r\nB=[x]\r\n\r\nC=2\r\n",
         {{Write, "S", "D", "4"}}, "[S]\r\nD=4\r\nA=1\r\n\r\nB=[x]\r\nC=2\r\n\r\n"},
        {"a header is a line that begins with [, trimming comes at the save", "  [S]  \r\n\tA=1 \r\n",
         {{Write, "S", "B", "2"}}, "[S]\r\nA=1\r\n\r\n[S]\r\nB=2\r\n"},
        {"a deferred write reaches the disk with the next save", std::nullopt,
         {{Write, "S", "A", "1"}, {Defer, "S", "B", "2"}, {Write, "S", "C", "3"}},
         "\r\n[S]\r\nC=3\r\nB=2\r\nA=1\r\n\r\n"},
        {"writing another file drops a deferred write", std::nullopt,
         {{Write, "S", "A", "1"}, {Defer, "S", "D", "4"}, {WriteElsewhere, "S"}, {Write, "S", "F", "6"}},
         "\r\n[S]\r\nF=6\r\nA=1\r\n\r\n"},
        {"names with [, ] or = are refused", "[A]\r\nX=1 \r\n", {{Write, "A]"}, {Write, "A", "K="}}, "[A]\r\nX=1 \r\n"},
        {"a missing section is neither deleted nor saved", "[A]\r\nX=1 \r\n", {{Delete, "B"}}, "[A]\r\nX=1 \r\n"},
        {"a deleted section takes its lines", three, {{Delete, "b"}}, "\r\n[A]\r\nX=1\r\n\r\n[C]\r\nZ=3\r\n"},
        {"a deleted first section", three, {{Delete, "A"}}, "\r\n[B]\r\nY=2\r\n\r\n[C]\r\nZ=3\r\n"},
        {"below 31000 bytes a large write saves (and trims)", padded("[S]\r\nA=", "   \r\n", 30999),
         {{Large, "S"}}, "[S]\r\nK=V\r\nA=" + QByteArray(30999 - 12, 'x') + "\r\n\r\n"},
        {"from 31000 bytes the key is appended to the section's text", large, {{Large, "S"}}, large + "K=V\r\n"},
        {"a body ending in an empty line loses it", largeLast, {{Large, "S"}}, largeLast.chopped(2) + "K=V\r\n"},
        {"a present key is replaced up to its line end", largeTwo, {{Large, "S", "K", "new"}},
         QByteArray(largeTwo).replace("K=old", "K=new") + "\r\n"},
    };
    int n = 0;
    for (const auto& r : rows) {
        const QString file = path(QStringLiteral("%1.ini").arg(++n));
        ASSERT_TRUE(!r.before || WriteBytes(file, *r.before));
        profile.ProfileReset();
        for (const Op& op : r.ops) {
            const QString section = QLatin1String(op.section), key = QLatin1String(op.key);
            if (op.kind == Large)
                EXPECT_EQ(profile.ProfileWriteKeyLarge(section, key, op.value, file), 0) << r.name;
            else if (op.kind == Delete)
                profile.ProfileDeleteSection(section, file);
            else
                profile.ProfileWriteKey(section, key, op.value, op.kind == WriteElsewhere ? file + u'2' : file,
                                        op.kind == Defer);
        }
        EXPECT_EQ(ReadBytes(file), r.after) << r.name;
    }
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), n + 1) << "no temporary files";
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
        const locale_t l = newlocale(LC_CTYPE_MASK, r.locale, locale_t(nullptr));
        if (l == locale_t(nullptr)) GTEST_SKIP() << "locale " << r.locale << " is missing (scripts/setup generates it)";
        freelocale(l);
        const test::ScopedEnv locale("LC_ALL", r.locale);
        const QString file = path(QStringLiteral("codepage.ini"));
        ASSERT_TRUE(WriteBytes(file, r.before));
        ProfileFile().ProfileWriteKey(QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("\u00e4\u20ac"), file,
                                      false);
        EXPECT_EQ(ReadBytes(file), r.after) << r.locale;
    }
}

TEST_F(ProfileFileTest, BareNamesLieInTheDataDirectoryAndTheCurrentDirectoryStays) {
    const QString cwd = QDir::currentPath();
    const test::ScopedEnv noData("XDG_DATA_HOME", QByteArray());
    const test::ScopedEnv home("HOME", dir_.path().toUtf8());
    EXPECT_EQ(WindowsDirectory(), path(QStringLiteral(".local/share/Corvane/")));
    for (const char* key : {"K", "L"}) // the second write reads what the first one wrote
        profile.ProfileWriteKey(QStringLiteral("S"), QLatin1String(key), QStringLiteral("V"),
                                QStringLiteral("bare.ini"), false);
    EXPECT_EQ(ReadBytes(path(QStringLiteral(".local/share/Corvane/bare.ini"))), "\r\n[S]\r\nL=V\r\nK=V\r\n\r\n");
    EXPECT_TRUE(FileExists(QStringLiteral("bare.ini")));
    EXPECT_FALSE(FileExists(dir_.path())) << "only readable files exist";
    EXPECT_EQ(QDir::currentPath(), cwd);
}

} // namespace
} // namespace bdlogic
