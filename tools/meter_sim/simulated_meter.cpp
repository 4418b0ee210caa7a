#include "simulated_meter.h"

#include "answer_framing.h"

namespace bdlogic::sim {

namespace {

constexpr std::uint8_t kWake = 0xA0;
constexpr std::uint8_t kInfo = 0xA2;
constexpr int kGlucoseBase = 0x80;
constexpr int kMarkerBase = 0x90;

// Stray bytes as a line at the wrong speed produces them: no "]" among them.
const QByteArray kNoise = QByteArray::fromHex("fe7f13e0f8008c6e3f7ffe1c");

bool InSeries(int code, int base) { return code >= base && code < base + kBlocks; }

} // namespace

QByteArray SimulatedMeter::reply(std::uint8_t code) {
    muted_ = muted_ || faults_.muteFrom == code;
    if (faults_.silent || muted_) return {};
    if (code == kWake) {
        if (++wakes_ <= faults_.ignoreWakes) return {};
        return faults_.noise ? kNoise : JoinLines(memory_.wake);
    }
    int crcError = 0;
    if (auto bad = faults_.badCrc.find(code); bad != faults_.badCrc.end() && bad->second > 0) {
        --bad->second;
        crcError = 1;
    }
    if (code == kInfo) return FrameAnswer(memory_.info, crcError);
    if (InSeries(code, kGlucoseBase))
        return FrameAnswer(memory_.glucose[static_cast<std::size_t>(code - kGlucoseBase)], crcError) + faults_.trailing;
    if (InSeries(code, kMarkerBase))
        return FrameAnswer(memory_.marker[static_cast<std::size_t>(code - kMarkerBase)], crcError) + faults_.trailing;
    return {};
}

QByteArray DescribeCommand(std::uint8_t code) {
    if (code == kWake) return "wake-up";
    if (code == kInfo) return "information";
    if (InSeries(code, kGlucoseBase)) return "glucose block " + QByteArray::number(code - kGlucoseBase);
    if (InSeries(code, kMarkerBase)) return "marker block " + QByteArray::number(code - kMarkerBase);
    return "unknown";
}

} // namespace bdlogic::sim
