#include "meterlink/message_layer.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

struct CrcCase {
    const char* name;
    QByteArray answer;
    bool passes;
    friend void PrintTo(const CrcCase& c, std::ostream* os) { *os << c.name; }
};

class CheckCrc : public testing::TestWithParam<CrcCase> {};

TEST_P(CheckCrc, JudgesTheCheckDigitsAtTheEnd) { EXPECT_EQ(check_crc(GetParam().answer), GetParam().passes); }

INSTANTIATE_TEST_SUITE_P(
    Answers, CheckCrc,
    testing::Values(CrcCase{"NineDigitsUpperCase", "123456789A1\r\n]\r\n", true},
                    CrcCase{"NineDigitsLowerCase", "123456789a1\r\n]\r\n", true},
                    CrcCase{"NineDigitsWrongValue", "123456789A2\r\n]\r\n", false},
                    CrcCase{"EmptyBody", "00\r\n]\r\n", true},
                    CrcCase{"EmptyBodyWrongValue", "01\r\n]\r\n", false},
                    CrcCase{"EndMarkAlone", "]\r\n", false},
                    CrcCase{"Empty", "", false},
                    CrcCase{"NotHex", "123456789G1\r\n]\r\n", false},
                    CrcCase{"BlankInDigits", "123456789 1\r\n]\r\n", false},
                    CrcCase{"TrailingCharacter", "123456789A1\r\n]\r\nX", false},
                    CrcCase{"TrailingLineEnd", "123456789A1\r\n]\r\n\r\n", false},
                    CrcCase{"OneDigitShort", "123456789A\r\n]\r\n", false},
                    CrcCase{"MeterBlock", "Glu, 95,mg/dl,0,20240131,0745\r\n"
                                          "P1,10,,,20240131,0800\r\n"
                                          "31\r\n]\r\n",
                            true},
                    CrcCase{"MeterBlockOneBitFlipped", "Glu, 94,mg/dl,0,20240131,0745\r\n"
                                                       "P1,10,,,20240131,0800\r\n"
                                                       "31\r\n]\r\n",
                            false},
                    CrcCase{"HighBytesInBody", QByteArray("\xFF\x80\x00\r\n", 5) + "E7\r\n]\r\n", true}),
    [](const testing::TestParamInfo<CrcCase>& info) { return std::string(info.param.name); });

TEST(Crc8Table, HoldsTheDallasMaximValues) {
    const std::pair<int, int> spots[] = {{0, 0x00}, {1, 0x5E}, {2, 0xBC}, {3, 0xE2},   {4, 0x61},
                                         {5, 0x3F}, {6, 0xDD}, {7, 0x83}, {128, 0x8C}, {255, 0x35}};
    for (const auto& [index, value] : spots) EXPECT_EQ(crc8_table(index), value) << "entry " << index;
}

TEST(Crc8Table, EqualsTheBitwiseComputationEverywhere) {
    for (int i = 0; i < 256; ++i) {
        unsigned crc = static_cast<unsigned>(i);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0x8Cu : crc >> 1;
        EXPECT_EQ(crc8_table(i), crc) << "entry " << i;
    }
}

TEST(Crc8Table, HasNoEntryOutsideAByte) {
    EXPECT_EQ(crc8_table(-1), 0);
    EXPECT_EQ(crc8_table(256), 0);
}

TEST(HexValue, ReadsUpToFourDigitsAsSixteenBits) {
    const std::pair<QByteArray, std::int32_t> good[] = {
        {"A1", 0xA1}, {"a1", 0xA1}, {"00", 0}, {"F", 15}, {"ff", 255}, {"7FFF", 32767}, {"8000", -32768},
        {"FFFF", -1}};
    for (const auto& [text, value] : good) EXPECT_EQ(hex_value(text), value) << text.constData();
    for (const QByteArray text : {"", "G1", " 1", "1 ", "-1", "+1", "12345", "0x1", "1\r"})
        EXPECT_FALSE(hex_value(text).has_value()) << text.constData();
}

} // namespace
} // namespace bdlogic
