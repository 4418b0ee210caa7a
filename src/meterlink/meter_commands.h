// The meter's command set and the framing and timing of its answers.
#pragma once

#include <QByteArray>

#include <cstdint>

namespace bdlogic {

// Command codes: every command goes out as the byte 00 followed by its code.
constexpr std::uint8_t kWakeCommand = 0xA0;
constexpr std::uint8_t kInfoCommand = 0xA2;
constexpr int kGlucoseBase = 0x80; // blocks 0x80..0x88
constexpr int kMarkerBase = 0x90;  // blocks 0x90..0x98
constexpr int kBlocksPerSeries = 9;

// Both bytes in one write, so they leave the port together.
inline QByteArray MeterCommand(std::uint8_t code) {
    QByteArray bytes(2, '\0');
    bytes[1] = static_cast<char>(code);
    return bytes;
}

// An answer is complete once this appears; a data answer ends in it right after its check line.
inline constexpr char kEndMark[] = "]\r\n";

// The port is looked at this often while an answer comes in.
constexpr std::uint32_t kPollMs = 50;
// The meter never pauses this long inside an answer: an attempt that hears nothing new for so long has failed.
constexpr std::uint32_t kSilenceLimitMs = 3000;
// No block comes near this size; a longer answer without its end mark is line noise.
constexpr qsizetype kAnswerLimit = qsizetype{1} << 20;

} // namespace bdlogic
