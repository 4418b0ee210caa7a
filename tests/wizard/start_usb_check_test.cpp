// usbcheck started with its parameters split as a POSIX shell splits them.
#include "support/test_files.h"
#include "wizard/shell_words.h"
#include "wizard/start_usb_check.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

TEST(SplitShellWords, QuotesBackslashesAndBlanksAsInAShell) {
    const struct {
        const char* text;
        QStringList words;
    } rows[] = {
        {"", {}},
        {" \t-vid  0403\n-pid 6001 ", {"-vid", "0403", "-pid", "6001"}},
        {"'C:/Program Files/x' y", {"C:/Program Files/x", "y"}},
        {R"('it'\''s' 'a\b')", {"it's", R"(a\b)"}},
        {R"("a b"c "q\"\\\$\`\e")", {"a bc", R"(q"\$`\e)"}},
        {R"(a\ b \'c\" d\\)", {"a b", R"('c")", R"(d\)"}},
        {"a \"\" '' b", {"a", "", "", "b"}},
        {"a\\\nb \"c\\\nd\" 'e\\\nf'", {"ab", "cd", "e\\\nf"}},
        {"$HOME *.txt #note a|b;c", {"$HOME", "*.txt", "#note", "a|b;c"}},
        {R"('open "half a\)", {R"(open "half a\)"}},
        {R"("open 'half)", {"open 'half"}},
        {R"(end\)", {R"(end\)"}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(SplitShellWords(QString::fromUtf8(r.text)), r.words) << r.text;
}

#ifndef Q_OS_WIN
TEST(StartUsbCheck, StartsTheProgramInItsDirectoryWithTheSplitParameters) {
    QTemporaryDir dir;
    EXPECT_FALSE(StartUsbCheck(dir.path(), QString())); // not installed
    const QString program = dir.filePath(QStringLiteral("usbcheck"));
    ASSERT_TRUE(test::WriteBytes(program, "#!/bin/sh\nprintf '[%s]' \"$@\" >args.tmp && mv args.tmp args\n"));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_TRUE(StartUsbCheck(dir.path(), QStringLiteral("-k 'a b' c\\ d")));
    const QString args = dir.filePath(QStringLiteral("args"));
    for (QDeadlineTimer deadline(10000); !QFile::exists(args) && !deadline.hasExpired();)
        QThread::msleep(10);
    EXPECT_EQ(test::ReadBytes(args), "[-k][a b][c d]");
}
#endif

} // namespace
} // namespace bdlogic
