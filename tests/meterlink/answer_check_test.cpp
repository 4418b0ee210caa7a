#include "meterlink/message_layer.h"

#include <gtest/gtest.h>

namespace bdlogic {
namespace {

TEST(CheckCrc, JudgesTheCheckDigitsAtTheEnd) {
    const std::pair<QByteArray, bool> answers[] = {
        {"123456789A1\r\n]\r\n", true},
        {"123456789a1\r\n]\r\n", true},
        {"123456789A2\r\n]\r\n", false},
        {"00\r\n]\r\n", true}, // empty body
        {"]\r\n", false},
        {"0\r\n]\r\n", false}, // shorter than a check line
        {"123456789A\r\n]\r\n", false},
        {"123456789G1\r\n]\r\n", false},  // not hexadecimal
        {"123456789A1\r\n]\r\nX", false}, // trailing characters
        {"Glu, 95,mg/dl,0,20240131,0745\r\nP1,10,,,20240131,0800\r\n31\r\n]\r\n", true},
        {QByteArray("\xFF\x80\x00\r\n", 5) + "E7\r\n]\r\n", true},
    };
    for (const auto& [answer, passes] : answers) EXPECT_EQ(check_crc(answer), passes) << answer.toStdString();
}

TEST(Crc8Table, EqualsTheBitwiseComputation) {
    for (int i = 0; i < 256; ++i) {
        unsigned crc = static_cast<unsigned>(i);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0x8Cu : crc >> 1;
        EXPECT_EQ(crc8_table(i), crc) << "entry " << i;
    }
}

} // namespace
} // namespace bdlogic
