#include "startup/field_splitter.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

TEST(FieldSplitter, NumbersFieldsFromOneAndKeepsEmptyOnes) {
    FieldSplitter s;
    s.setSeparator(QStringLiteral(","));
    s.setText(QStringLiteral("Glu, 95,mg/dl,,20240131,0745"));
    EXPECT_EQ(s.count(), 6);
    EXPECT_EQ(s.field(0), QStringLiteral("Glu, 95,mg/dl,,20240131,0745"));
    EXPECT_EQ(s.field(1), QStringLiteral("Glu"));
    EXPECT_EQ(s.field(2), QStringLiteral(" 95"));
    EXPECT_EQ(s.field(4), QString());
    EXPECT_EQ(s.field(6), QStringLiteral("0745"));
    EXPECT_EQ(s.field(7), QString());
    EXPECT_EQ(s.field(13), QString());
    EXPECT_EQ(s.field(-1), QString());
}

TEST(FieldSplitter, SplitsLinesAtCrLfAndKeepsTheSeparatorBetweenTexts) {
    FieldSplitter s;
    s.setSeparator(QStringLiteral("\r\n"));
    s.setText(QStringLiteral("a,b\r\nc\rd\r\n]\r\n"));
    ASSERT_EQ(s.count(), 4);
    EXPECT_EQ(s.field(2), QStringLiteral("c\rd")); // a lone CR does not end a line
    EXPECT_EQ(s.field(3), QStringLiteral("]"));
    s.setText(QStringLiteral("x\r\ny"));
    EXPECT_EQ(s.count(), 2);
    s.setText(QString());
    EXPECT_EQ(s.count(), 0);
    EXPECT_EQ(s.field(1), QString());
}

TEST(FieldSplitter, CommandLineFields) {
    FieldSplitter s(QStringLiteral("|"));
    s.setText(QStringLiteral("H|17"));
    EXPECT_EQ(s.field(1), QStringLiteral("H"));
    EXPECT_EQ(s.field(2), QStringLiteral("17"));
    EXPECT_EQ(s.field(4), QString());
}

} // namespace
} // namespace bdlogic
