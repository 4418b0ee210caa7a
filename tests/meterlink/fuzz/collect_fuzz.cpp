// libFuzzer target: chunk sequences and timings from the meter, through a scripted port on the simulated clock into
// the answer collection and the answer check.
//
// Input: records of two bytes and what follows them. The first two give the time since the previous record
// (low 12 bits, ms); the top four bits of the first say what happens then: 12 the port's device goes away, 13 the
// program is asked to stop, 14 the next byte n and n bytes after it arrive repeated 4096 times (to reach the size
// bound), anything else the next byte n and n bytes after it arrive. Any broken invariant aborts.
#include "meterlink/answer_collector.h"
#include "meterlink/message_layer.h"
#include "meterlink/meter_commands.h"
#include "support/scripted_port.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

using namespace bdlogic;

void Require(bool ok) {
    if (!ok) std::abort();
}

// The check, computed a second way: the tests' own framing (a bitwise CRC-8) of the body, against the two digits
// seven characters from the end.
bool ExpectedCheck(const QByteArray& answer) {
    if (answer.size() < 7) return false;
    const QByteArray body = answer.first(answer.size() - 7);
    return answer.mid(body.size(), 2).toUpper() == test::FramedAnswer(body).mid(body.size(), 2);
}

// When the collection must end for an end mark whose last byte arrives at `at` ms after the command: reads
// come at 50 ms, at once again, then every 50 ms; a chunk is appended one read after it was read (the first at
// once), and the loop ends one 50 ms pass after the append that brought the end mark.
std::uint32_t CompleteAt(std::uint32_t at) {
    if (at <= kPollMs) return 2 * kPollMs;
    return (at + kPollMs - 1) / kPollMs * kPollMs + 2 * kPollMs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    test::FakeEventPump pump;
    test::ScriptedPort port(pump);
    test::Reply reply;
    QByteArray stream;                     // every byte the meter sends, in order
    std::optional<std::uint32_t> unplugAt; // after the command
    std::uint32_t at = 0;
    // A few chunks past the size bound show all there is to see there.
    for (std::size_t i = 0; i + 1 < size && stream.size() <= 2 * kAnswerLimit;) {
        at += static_cast<std::uint32_t>(((data[i] & 0x0F) << 8) | data[i + 1]);
        const int kind = data[i] >> 4;
        i += 2;
        if (kind == 12) {
            if (!unplugAt) unplugAt = at;
        } else if (kind == 13) {
            pump.at(at, [&pump] { pump.requestStop(); });
        } else if (i < size) {
            const std::size_t n = std::min<std::size_t>(data[i], size - i - 1);
            QByteArray bytes(reinterpret_cast<const char*>(data + i + 1), static_cast<qsizetype>(n));
            i += 1 + n;
            if (kind == 14) bytes = bytes.repeated(4096);
            reply.push_back({at, bytes});
            stream += bytes;
        }
    }
    const std::uint32_t lastArrival = reply.empty() ? 0 : reply.back().afterMs;
    if (unplugAt) pump.at(*unplugAt, [&port] { port.unplug(); });

    port.setPortOpen(true);
    port.script(kInfoCommand, {reply});
    port.output(MeterCommand(kInfoCommand));
    QByteArray answer;
    const Collection outcome = CollectAnswer(port, pump, answer);
    const std::uint32_t ended = pump.now();

    // Nothing is lost, doubled or reordered: the answer is the start of what the meter sent.
    Require(answer.size() <= kAnswerLimit);
    Require(stream.startsWith(answer));
    Require((outcome == Collection::Complete) == (answer.contains("]\r\n") && outcome != Collection::Stopped));
    // It ends: three seconds after the last byte at the latest, and on the documented pass when complete.
    Require(ended <= lastArrival + kSilenceLimitMs + 2 * kPollMs);
    if (outcome == Collection::Complete) {
        // The chunk that brings the end mark's last byte.
        qsizetype left = stream.indexOf("]\r\n") + 3;
        auto chunk = reply.begin();
        while ((left -= chunk->bytes.size()) > 0) ++chunk;
        Require(ended == CompleteAt(chunk->afterMs));
    }
    // A device that goes away is noticed at the next read.
    if (outcome == Collection::PortLost) Require(unplugAt && ended >= *unplugAt && ended <= *unplugAt + kPollMs);

    Require(check_crc(answer) == ExpectedCheck(answer));
    return 0;
}
