// The serial line parameters as one text, "baud,parity,data,stop" (e.g. "9600,O,8,1").
#pragma once

#include <QString>

#include <optional>

namespace bdlogic {

struct LineSettings {
    int baud = 9600;
    char parity = 'N';   // N none, O odd, E even, M mark, S space
    int dataBits = 8;    // 5..8
    int stopBits10 = 10; // stop bits times ten: 10, 15 or 20

    // Bits on the line per byte: start bit, data, parity, stop.
    double bitsPerByte() const { return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits10 / 10.0; }
    bool operator==(const LineSettings&) const = default;
};

// Nothing when the text is not of that form or a value is out of range; letters in either case.
std::optional<LineSettings> ParseLineSettings(const QString& text);

} // namespace bdlogic
