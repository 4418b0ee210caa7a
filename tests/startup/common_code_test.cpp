#include "startup/common_code.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override { QLocale::setDefault(saved_); }
    QLocale saved_;
};

TEST(TrimText, StripsControlCharactersAndBlanksButNotCodes20To31) {
    const struct {
        QString in, out;
    } rows[] = {
        {QStringLiteral("  COM3 "), QStringLiteral("COM3")},
        {QStringLiteral(" \r\n \r"), QString()},
        {QStringLiteral("word") + QChar(0) + u' ', QStringLiteral("word")},
        {QString(QChar(0)), QString()},
        {QString(QChar(0)) + QStringLiteral("abc"), QString()},
        {QString(QChar(19)) + u'x' + QChar(19), QStringLiteral("x")},
        {QString(QChar(20)) + u'x' + QChar(31), QString(QChar(20)) + u'x' + QChar(31)},
        {QString(), QString()},
    };
    for (const auto& r : rows) EXPECT_EQ(TrimText(r.in), r.out) << r.in.toStdString();
}

TEST(SplitText, FollowsTheSeparatorRules) {
    const struct {
        QString in;
        int index;
        QStringList parts;
    } rows[] = {
        {QStringLiteral("a|b"), 1, {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("abc"), 0, {QStringLiteral("abc")}},
        {QStringLiteral("a|b|"), 1, {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("|a"), 1, {QString(), QStringLiteral("a")}},
        {QStringLiteral("a||b"), 2, {QStringLiteral("a"), QString(), QStringLiteral("b")}},
    };
    for (const auto& r : rows) {
        QStringList parts{QStringLiteral("old1"), QStringLiteral("old2"), QStringLiteral("old3"), QStringLiteral("old4")};
        EXPECT_EQ(SplitText(r.in, parts, u'|'), r.index) << r.in.toStdString();
        EXPECT_EQ(parts, r.parts) << r.in.toStdString();
    }
    QStringList kept{QStringLiteral("x")};
    EXPECT_EQ(SplitText(QString(), kept, u'|'), -1);
    EXPECT_EQ(kept, QStringList{QStringLiteral("x")});
}

TEST(ReplaceText, RescansFromTheStartAndIgnoresCase) {
    QString tag = QStringLiteral("L517");
    EXPECT_EQ(ReplaceText(tag, QStringLiteral("L"), QString()), 1);
    EXPECT_EQ(tag, QStringLiteral("517"));

    QString slashes = QStringLiteral("\\\\\\\\");
    EXPECT_EQ(ReplaceText(slashes, QStringLiteral("\\\\"), QStringLiteral("\\")), 3);
    EXPECT_EQ(slashes, QStringLiteral("\\"));

    QString mixed = QStringLiteral("lL9l");
    EXPECT_EQ(ReplaceText(mixed, QStringLiteral("L"), QString()), 3);
    EXPECT_EQ(mixed, QStringLiteral("9"));

    QString same = QStringLiteral("abc");
    EXPECT_EQ(ReplaceText(same, QStringLiteral("B"), QStringLiteral("b")), 0);
    EXPECT_EQ(same, QStringLiteral("abc"));
    EXPECT_EQ(ReplaceText(same, QStringLiteral("b"), QStringLiteral("xbx")), 0); // would never end
}

TEST(CutChar, CutsBothEndsAndReturnsWithoutTheFirstInnerOne) {
    QString text = QStringLiteral("|a|b|");
    EXPECT_EQ(CutChar(text, u'|'), QStringLiteral("ab"));
    EXPECT_EQ(text, QStringLiteral("a|b"));

    QString plain = QStringLiteral("Menge:");
    EXPECT_EQ(CutChar(plain, u':'), QStringLiteral("Menge"));
    QString amp = QStringLiteral("&Insulin");
    EXPECT_EQ(CutChar(amp, u'&'), QStringLiteral("Insulin"));
}

TEST(MmolToMgdl, TakesTheWholePartAfterAddingFiveHundredths) {
    EXPECT_EQ(MmolToMgdl(5.5).value(), QStringLiteral("99"));
    EXPECT_EQ(MmolToMgdl(10).value(), QStringLiteral("180"));
    EXPECT_EQ(MmolToMgdl(0).value(), QStringLiteral("0"));
    EXPECT_EQ(MmolToMgdl(-1).value(), QStringLiteral("-17")); // truncated toward zero: -18.011 -> -17.96 -> -17
    EXPECT_FALSE(MmolToMgdl(1e300).has_value());
}

TEST(FormatDecimalPoint, RoundsTheDecimalFormHalfAwayFromZero) {
    const struct {
        double value;
        const char* picture;
        const char* out;
    } rows[] = {
        {1.5, "0.0", "1.5"},   {2.5, "0.0", "2.5"}, {4, "0.0", "4.0"},      {0.45, "0.0", "0.5"},
        {1.5 * 0.3, "0.0", "0.5"}, {0.04, "0.0", "0.0"}, {9.96, "0.0", "10.0"}, {2.5, "0", "3"},
        {1234.5, "0", "1235"}, {0.05, "0.0", "0.1"}, {-1.25, "0.0", "-1.3"},   {123456.789, "0.0", "123456.8"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FormatDecimalPoint(r.value, QString::fromLatin1(r.picture)), QString::fromLatin1(r.out)) << r.value;
}

TEST(NumberReading, RoundsHalvesToEvenAndRefusesNonNumbers) {
    EXPECT_EQ(ToInt16(QStringLiteral("2.5")), std::int16_t{2});
    EXPECT_EQ(ToInt16(QStringLiteral("3.5")), std::int16_t{4});
    EXPECT_EQ(ToInt16(QStringLiteral(" 095")), std::int16_t{95});
    EXPECT_EQ(ToInt16(QStringLiteral("-7")), std::int16_t{-7});
    EXPECT_FALSE(ToInt16(QStringLiteral("32768")));
    EXPECT_EQ(ToInt16(QStringLiteral("32767")), std::int16_t{32767});
    EXPECT_FALSE(ToInt16(QStringLiteral("abc")));
    EXPECT_FALSE(ToInt16(QString()));
    EXPECT_EQ(ToInt32(QStringLiteral("123456")), 123456);
    EXPECT_EQ(ToBool(QStringLiteral("true")), true);
    EXPECT_EQ(ToBool(QStringLiteral("0")), false);
    EXPECT_EQ(ToBool(QStringLiteral("-1")), true);
    EXPECT_FALSE(ToBool(QStringLiteral("yes")));
    EXPECT_EQ(LeadingNumber(QStringLiteral(" 12abc")), 12);
    EXPECT_EQ(LeadingNumber(QStringLiteral("abc")), 0);
    EXPECT_EQ(LeadingNumber(QStringLiteral("7")), 7);
}

TEST_F(GermanLocale, NumbersFollowTheCommaDecimalLocale) {
    EXPECT_EQ(ToLocalDecimal(QStringLiteral("5.5")), QStringLiteral("5,5"));
    EXPECT_EQ(ToLocalDecimal(QStringLiteral("5,5")), QStringLiteral("5,5"));
    EXPECT_EQ(ToDouble(QStringLiteral("5,5")), 5.5);
    EXPECT_EQ(ToInt16(QStringLiteral("2,5")), std::int16_t{2});
    EXPECT_EQ(FormatDecimalPoint(1.5, QStringLiteral("0.0")), QStringLiteral("1.5"));
}

} // namespace
} // namespace bdlogic
