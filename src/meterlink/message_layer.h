// Talking to the meter once the port is open: two-byte commands, answers collected up to "]" CR LF, the CRC-8
// check, the nine-block series and the information exchange.
#pragma once

#include "download_report.h"
#include "meter_port.h"
#include "startup/services.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace bdlogic {

// Dallas/Maxim CRC-8 table entry for an index 0..255.
std::uint8_t crc8_table(int index);
// The value of up to four hexadecimal digits as a 16-bit two's-complement number; nothing when not hexadecimal.
std::optional<std::int32_t> hex_value(const QByteArray& text);
// True when the two check digits before CR LF "]" CR LF equal the CRC-8 of everything before them.
bool check_crc(const QByteArray& answer);

// What one exchange brought: the accepted answers joined in block order, and how far it got.
struct Exchange {
    QByteArray text;
    DownloadPart part;
};

class MessageLayer {
public:
    MessageLayer(MeterPort& port, Services& services) : port_(port), services_(services) {}

    // The nine-block series: blocks base+0..base+8, each CRC-checked and asked for again up to three failures in
    // a row. A silent meter or a lost port ends it at once.
    Exchange read_blocks(int base, const QStringList& markers, int headerId, int progressId);
    // The information exchange: one answer, not checked, not repeated; what came before a silence is kept.
    Exchange read_info();
    // Status line text, shown at once.
    void show_step(const QString& text);

    MeterPort& port() { return port_; }

private:
    MeterPort& port_;
    Services& services_;
};

} // namespace bdlogic
