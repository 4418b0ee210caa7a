#include "sim_process.h"

#include <QDeadlineTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace bdlogic::test {

QString SimProcess::start(const QStringList& arguments) {
    // --parent-watch: a crashed test leaves no simulator behind.
    process_.start(QStringLiteral(BDLOGIC_BUILD_DIR "/bdlogic-meter-sim"),
                   QStringList(arguments) << QStringLiteral("--parent-watch"));
    const QDeadlineTimer deadline(5000);
    while (!process_.canReadLine())
        if (!process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return {};
    return QString::fromLocal8Bit(process_.readLine()).trimmed();
}

void SimProcess::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(2000)) process_.kill();
    process_.waitForFinished(2000);
}

bool PseudoTerminalsAvailable() {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY);
    return fd >= 0 && ::close(fd) == 0;
}

} // namespace bdlogic::test
