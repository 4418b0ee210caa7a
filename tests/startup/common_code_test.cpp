// The shared helpers' rules that the tests of their callers do not reach.
#include "startup/common_code.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

TEST(TrimText, StripsControlCharactersAndBlanksButNotCodes20To31) {
    const struct {
        QString in, out;
    } rows[] = {
        {QStringLiteral("  COM3 \r\n"), QStringLiteral("COM3")},
        {QStringLiteral("word") + QChar(0) + u' ', QStringLiteral("word")},
        {QString(QChar(0)) + QStringLiteral("abc"), QString()},
        {QString(QChar(19)) + u'x' + QChar(19), QStringLiteral("x")},
        {QString(QChar(20)) + u'x' + QChar(31), QString(QChar(20)) + u'x' + QChar(31)},
    };
    for (const auto& r : rows) EXPECT_EQ(TrimText(r.in), r.out) << r.in.toStdString();
}

TEST(SplitText, FollowsTheSeparatorRules) {
    const struct {
        QString in;
        int index;
        QStringList parts;
    } rows[] = {
        {QStringLiteral("a|b|"), 1, {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("|a"), 1, {QString(), QStringLiteral("a")}},
        {QStringLiteral("a||b"), 2, {QStringLiteral("a"), QString(), QStringLiteral("b")}},
    };
    for (const auto& r : rows) {
        QStringList parts{QStringLiteral("old1"), QStringLiteral("old2"), QStringLiteral("old3")};
        EXPECT_EQ(SplitText(r.in, parts, u'|'), r.index) << r.in.toStdString();
        EXPECT_EQ(parts, r.parts) << r.in.toStdString();
    }
    QStringList kept{QStringLiteral("x")};
    EXPECT_EQ(SplitText(QString(), kept, u'|'), -1);
    EXPECT_EQ(kept, QStringList{QStringLiteral("x")});
}

TEST(ReplaceText, RescansFromTheStartAndIgnoresCase) {
    QString slashes = QStringLiteral("\\\\\\\\");
    EXPECT_EQ(ReplaceText(slashes, QStringLiteral("\\\\"), QStringLiteral("\\")), 3);
    EXPECT_EQ(slashes, QStringLiteral("\\"));
    QString same = QStringLiteral("abc");
    EXPECT_EQ(ReplaceText(same, QStringLiteral("b"), QStringLiteral("xbx")), 0); // would never end
    EXPECT_EQ(same, QStringLiteral("abc"));
}

TEST(NumberReading, RoundsHalvesToEvenAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(ToInt16(QStringLiteral("2.5")), std::int16_t{2});
    EXPECT_EQ(ToInt16(QStringLiteral("32767")), std::int16_t{32767});
    EXPECT_FALSE(ToInt16(QStringLiteral("32768")));
    EXPECT_FALSE(ToInt16(QString()));
    EXPECT_FALSE(MmolToMgdl(1e300).has_value());
    EXPECT_EQ(MmolToMgdl(-1).value(), QStringLiteral("-17")); // truncated toward zero: -18.011 -> -17.96 -> -17
}

} // namespace
} // namespace bdlogic
