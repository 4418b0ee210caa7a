#include "profile_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace bdlogic {

QString WindowsDirectory() {
#ifdef Q_OS_WIN
    wchar_t buffer[1024];
    const UINT n = GetWindowsDirectoryW(buffer, 1024);
    QString dir = n > 0 && n < 1024 ? QString::fromWCharArray(buffer, static_cast<qsizetype>(n)) : QString();
    if (!dir.endsWith(u'\\')) dir += u'\\';
    return dir;
#else
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/Corvane")) + QDir::separator();
#endif
}

QString ResolveProfilePath(const QString& file) {
    if (QDir::isAbsolutePath(file)) return file;
    return WindowsDirectory() + file;
}

bool FileExists(const QString& path) {
    const QString resolved = ResolveProfilePath(path);
    if (QFileInfo(resolved).isDir()) return false;
    QFile file(resolved);
    if (!file.open(QIODevice::ReadOnly)) return false;
    file.close();
    return true;
}

bool SameFileName(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

} // namespace bdlogic
