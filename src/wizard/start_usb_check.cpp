#include "start_usb_check.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace bdlogic {

bool StartUsbCheck(const QString& programDir, const QString& parameters) {
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("usbcheck.exe");
#else
    const QString name = QStringLiteral("usbcheck");
#endif
    const QString program = QDir(programDir).filePath(name);
    if (!QFileInfo(program).isFile()) return false;
    return QProcess::startDetached(program, QProcess::splitCommand(parameters), programDir);
}

} // namespace bdlogic
