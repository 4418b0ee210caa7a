#include "simulator.h"

#include "simulated_meter.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <vector>

namespace bdlogic::sim {

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

// After the last bytes of a dropped answer, give the driver a moment to read them before the line goes.
constexpr auto kDropDelay = std::chrono::milliseconds(100);
// A full receive queue on the other side: try again shortly.
constexpr auto kRetryDelay = std::chrono::milliseconds(2);

class Session {
public:
    Session(const SerialLine& line, RunSetup setup)
        : line_(line), setup_(std::move(setup)), schedule_(setup_.shape), started_(Clock::now()) {}

    int run();

private:
    void received(const char* data, ssize_t n, Clock::time_point now);
    void command(std::uint8_t code, Clock::time_point now);
    bool writeDue(Clock::time_point now);
    void logLine(const QByteArray& text);

    const SerialLine& line_;
    RunSetup setup_;
    OutputSchedule schedule_;
    Clock::time_point started_;
    bool haveZero_ = false; // the first byte of a command has come
    bool dropping_ = false;
    std::optional<Clock::time_point> exitAt_;
    std::optional<Clock::time_point> retryAt_;
};

void Session::logLine(const QByteArray& text) {
    if (!setup_.log) return;
    const double s = std::chrono::duration<double>(Clock::now() - started_).count();
    setup_.log->write(QByteArray::number(s, 'f', 3) + ' ' + text + '\n');
    setup_.log->flush();
}

void Session::received(const char* data, ssize_t n, Clock::time_point now) {
    // Commands are 00 followed by a code; anything else on the line is ignored, as the meter ignores it.
    for (ssize_t i = 0; i < n; ++i) {
        const auto byte = static_cast<std::uint8_t>(data[i]);
        if (haveZero_ && byte != 0) {
            haveZero_ = false;
            command(byte, now);
        } else {
            haveZero_ = byte == 0;
        }
    }
}

void Session::command(std::uint8_t code, Clock::time_point now) {
    const QByteArray hex = QByteArray(1, static_cast<char>(code)).toHex().toUpper();
    if (setup_.transcript) setup_.transcript->command(code);
    if (dropping_) return;
    if (setup_.meterFd >= 0) {
        logLine("> 00 " + hex + "  " + DescribeCommand(code));
        return; // the real meter answers; its bytes are passed on as they come
    }
    QByteArray answer = setup_.responder(code);
    const bool drop = setup_.dropCode == code && !answer.isEmpty();
    if (drop) {
        answer.truncate(setup_.dropBytes.value_or(answer.size() / 2));
        dropping_ = true;
    }
    const QByteArray what = answer.isEmpty() ? QByteArray("(no answer)")
                                             : "answer " + QByteArray::number(answer.size()) + " bytes";
    logLine("> 00 " + hex + "  " + DescribeCommand(code) + "  " + what +
            (drop ? QByteArray(", then the line drops") : QByteArray()));
    if (setup_.transcript) setup_.transcript->answer(answer);
    schedule_.add(answer, now + setup_.commandTime, drop);
    // Dropping after nothing at all: the line goes right away.
    if (drop && answer.isEmpty()) exitAt_ = now + kDropDelay;
}

bool Session::writeDue(Clock::time_point now) {
    bool drop = false;
    const QByteArray due = schedule_.takeDue(now, &drop);
    qsizetype sent = 0;
    while (sent < due.size()) {
        const ssize_t n = ::write(line_.fd(), due.constData() + sent, static_cast<std::size_t>(due.size() - sent));
        if (n > 0) {
            sent += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            schedule_.putBack(due.mid(sent), now, drop);
            retryAt_ = now + kRetryDelay;
            return true;
        } else {
            return false;
        }
    }
    if (drop) exitAt_ = now + kDropDelay;
    return true;
}

int Session::run() {
    // Log times count from here; this line ties them to the wall clock.
    const auto epoch = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch());
    logLine("started at " + QByteArray::number(epoch.count(), 'f', 3) + " s since the epoch");
    for (;;) {
        if (g_stop) return 0;
        Clock::time_point now = Clock::now();
        if (exitAt_ && now >= *exitAt_) {
            logLine("line dropped");
            return 3;
        }
        retryAt_.reset();
        if (!writeDue(now)) return 1;

        std::optional<Clock::time_point> wake = retryAt_ ? retryAt_ : schedule_.nextDue();
        if (exitAt_ && (!wake || *exitAt_ < *wake)) wake = exitAt_;
        timespec timeout{};
        if (wake) {
            const auto left = std::max(std::chrono::nanoseconds(0), *wake - Clock::now());
            timeout.tv_sec = static_cast<time_t>(std::chrono::duration_cast<std::chrono::seconds>(left).count());
            timeout.tv_nsec = static_cast<long>((left % std::chrono::seconds(1)).count());
        }
        std::vector<pollfd> fds{{line_.fd(), POLLIN, 0}};
        if (setup_.meterFd >= 0) fds.push_back({setup_.meterFd, POLLIN, 0});
        if (setup_.parentWatch) fds.push_back({STDIN_FILENO, POLLIN, 0});
        // Signals are let in only while waiting, so none is lost between the check above and the wait.
        sigset_t waitMask;
        sigemptyset(&waitMask);
        const int ready = ppoll(fds.data(), fds.size(), wake ? &timeout : nullptr, &waitMask);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return 1;
        }
        now = Clock::now();
        char buffer[4096];
        for (const pollfd& p : fds) {
            if (!p.revents) continue;
            const ssize_t n = ::read(p.fd, buffer, sizeof buffer);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (p.fd == STDIN_FILENO) {
                if (n <= 0) return 0; // the parent has gone
            } else if (n <= 0) {
                logLine(p.fd == line_.fd() ? "the line hung up" : "the meter's line hung up");
                return 1;
            } else if (p.fd == line_.fd()) {
                received(buffer, n, now);
                // Forwarding: the meter gets the driver's bytes exactly as sent.
                if (setup_.meterFd >= 0 && ::write(setup_.meterFd, buffer, static_cast<std::size_t>(n)) != n)
                    return 1;
            } else {
                const QByteArray bytes(buffer, n);
                if (setup_.transcript) setup_.transcript->answer(bytes);
                schedule_.add(bytes, now);
            }
        }
    }
}

} // namespace

int RunSimulator(const SerialLine& line, RunSetup setup) {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&blocked, s);
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &action, nullptr);
    return Session(line, std::move(setup)).run();
}

} // namespace bdlogic::sim
