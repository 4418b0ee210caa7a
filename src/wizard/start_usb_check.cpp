#include "start_usb_check.h"

#include "importfile/profile_paths.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <QWidget>

#include <windows.h>

#include <shellapi.h>
#else
#include "shell_words.h"

#include <QProcess>
#endif

namespace bdlogic {

bool StartUsbCheck(const QString& programDir, const QString& parameters, [[maybe_unused]] QWidget* owner) {
#ifdef Q_OS_WIN
    const QString program =
        QDir::toNativeSeparators(QDir(programDir).filePath(QStringLiteral("usbcheck.exe")));
    if (!FileExists(program)) return false;
    const QString dir = QDir::toNativeSeparators(programDir);
    const HWND window = owner ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
    const HINSTANCE started = ShellExecuteW(window, L"open", reinterpret_cast<LPCWSTR>(program.utf16()),
                                            reinterpret_cast<LPCWSTR>(parameters.utf16()),
                                            reinterpret_cast<LPCWSTR>(dir.utf16()), SW_SHOWNORMAL);
    // ShellExecute reports success with a value above 32.
    return reinterpret_cast<INT_PTR>(started) > 32;
#else
    const QString program = QDir(programDir).filePath(QStringLiteral("usbcheck"));
    if (!FileExists(program)) return false;
    return QProcess::startDetached(program, SplitShellWords(parameters), programDir);
#endif
}

} // namespace bdlogic
