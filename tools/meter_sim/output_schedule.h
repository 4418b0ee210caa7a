// When each byte of the meter's answers leaves: at once, paced at the line's speed, or in chunks with gaps.
#pragma once

#include <QByteArray>

#include <chrono>
#include <deque>
#include <optional>

namespace bdlogic::sim {

using Clock = std::chrono::steady_clock;

struct OutputShape {
    std::chrono::nanoseconds byteTime{0}; // time of one byte on the line; 0 sends at once
    qsizetype chunk = 0;                  // bytes per chunk; 0 sends an answer in one piece
    std::chrono::milliseconds gap{0};     // pause after each chunk
    QByteArray late;                      // sent after every answer, in a write of its own,
    std::chrono::milliseconds lateAfter{1}; // this long after the answer's last byte
};

class OutputSchedule {
public:
    explicit OutputSchedule(OutputShape shape) : shape_(shape) {}

    // Queues an answer to begin at `start`, or when the output before it has left if that is later. With
    // `thenDrop` the line is to be dropped once its last byte has gone.
    void add(const QByteArray& bytes, Clock::time_point start, bool thenDrop = false);
    // Bytes that could not be written yet go out first, as soon as possible.
    void putBack(const QByteArray& bytes, Clock::time_point now, bool thenDrop);

    std::optional<Clock::time_point> nextDue() const;
    // Everything due by `now`, in order. `dropNow` is set when it ends an answer that drops the line.
    QByteArray takeDue(Clock::time_point now, bool* dropNow);
    bool empty() const { return queue_.empty(); }

private:
    struct Segment {
        Clock::time_point due;
        QByteArray bytes;
        bool thenDrop = false;
    };
    OutputShape shape_;
    void queue(const QByteArray& bytes, Clock::time_point start, bool thenDrop);

    std::deque<Segment> queue_;
    Clock::time_point end_{};
};

} // namespace bdlogic::sim
