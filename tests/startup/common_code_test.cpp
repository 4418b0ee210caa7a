// The shared helpers' rules that the tests of their callers do not reach.
#include "startup/common_code.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

TEST(TrimText, StripsControlCharactersAndBlanksButNotCodes20To31) {
    const struct {
        QString in, out;
    } rows[] = {
        {"  COM3 \r\n", "COM3"}, {QStringLiteral("word") + QChar(0) + u' ', "word"}, {QChar(0) + QString("abc"), ""},
        {QChar(19) + QString("x") + QChar(19), "x"}, {QChar(20) + QString("x") + QChar(31), "\x14x\x1f"},
    };
    for (const auto& r : rows) EXPECT_EQ(TrimText(r.in), r.out) << r.in.toStdString();
}

TEST(SplitText, FollowsTheSeparatorRules) {
    const struct {
        QString in;
        int index;
        QStringList parts;
    } rows[] = {{"a|b|", 1, {"a", "b"}}, {"|a", 1, {"", "a"}}, {"a||b", 2, {"a", "", "b"}}, {"", -1, {"old", "old"}}};
    for (const auto& r : rows) {
        QStringList parts{"old", "old"};
        EXPECT_EQ(SplitText(r.in, parts, u'|'), r.index) << r.in.toStdString();
        EXPECT_EQ(parts, r.parts) << r.in.toStdString();
    }
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
