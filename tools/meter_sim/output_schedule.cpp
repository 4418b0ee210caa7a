#include "output_schedule.h"

#include <algorithm>

namespace bdlogic::sim {

void OutputSchedule::add(const QByteArray& bytes, Clock::time_point start, bool thenDrop) {
    if (bytes.isEmpty()) return;
    queue(bytes, start, thenDrop);
    // The late bytes follow the answer's last byte, not the pause after its last chunk.
    if (!thenDrop && !shape_.late.isEmpty()) queue(shape_.late, queue_.back().due + shape_.lateAfter, false);
}

void OutputSchedule::queue(const QByteArray& bytes, Clock::time_point start, bool thenDrop) {
    Clock::time_point t = std::max(start, end_);
    const qsizetype chunk = shape_.chunk > 0 ? shape_.chunk : bytes.size();
    for (qsizetype from = 0; from < bytes.size(); from += chunk) {
        const QByteArray piece = bytes.mid(from, chunk);
        if (shape_.byteTime.count() > 0) {
            // A byte is there for the receiver once its last bit has arrived.
            for (const char c : piece) {
                t += shape_.byteTime;
                queue_.push_back({t, QByteArray(1, c)});
            }
        } else {
            queue_.push_back({t, piece});
        }
        if (shape_.chunk > 0) t += shape_.gap;
    }
    queue_.back().thenDrop = thenDrop;
    end_ = t;
}

void OutputSchedule::putBack(const QByteArray& bytes, Clock::time_point now, bool thenDrop) {
    if (!bytes.isEmpty()) queue_.push_front({now, bytes, thenDrop});
}

std::optional<Clock::time_point> OutputSchedule::nextDue() const {
    if (queue_.empty()) return std::nullopt;
    return queue_.front().due;
}

QByteArray OutputSchedule::takeDue(Clock::time_point now, bool* dropNow) {
    QByteArray out;
    while (!queue_.empty() && queue_.front().due <= now) {
        out += queue_.front().bytes;
        const bool drop = queue_.front().thenDrop;
        queue_.pop_front();
        if (drop) {
            if (dropNow) *dropNow = true;
            break;
        }
    }
    return out;
}

} // namespace bdlogic::sim
