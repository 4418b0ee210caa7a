#include "sim_process.h"

#include <QDeadlineTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace bdlogic::test {

QString SimProcess::program() { return QStringLiteral(BDLOGIC_BUILD_DIR "/bdlogic-meter-sim"); }

QString SimProcess::start(const QStringList& arguments) {
    // --parent-watch: a crashed test leaves no simulator behind.
    process_.start(program(), QStringList(arguments) << QStringLiteral("--parent-watch"));
    if (!process_.waitForStarted(5000)) return {};
    const QDeadlineTimer deadline(5000);
    while (!process_.canReadLine() && process_.state() == QProcess::Running && !deadline.hasExpired())
        process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    if (!process_.canReadLine()) return {};
    return QString::fromLocal8Bit(process_.readLine()).trimmed();
}

int SimProcess::waitForExit(int ms) {
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(ms)) return -1;
    return process_.exitCode();
}

void SimProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

QString SimProcess::errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

bool PseudoTerminalsAvailable() {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

} // namespace bdlogic::test
