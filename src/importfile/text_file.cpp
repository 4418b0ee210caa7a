#include "text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

namespace bdlogic {

namespace {
std::filesystem::path NativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Passes the reason of a failure on; false, for the caller to return.
bool Fail(QString* reason, const QString& why) {
    if (reason) *reason = why;
    return false;
}

// A new file beside `path` that no one else uses; not open when the directory takes no files.
void OpenTemporary(QFile& temp, const QString& path) {
    for (int attempt = 0; attempt < 16 && !temp.isOpen(); ++attempt) {
        const quint32 tag = QRandomGenerator::global()->generate();
        temp.setFileName(path + QStringLiteral(".%1.tmp").arg(tag, 8, 16, QLatin1Char('0')));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return;
    }
}
} // namespace

std::optional<QByteArray> ReadFileBytes(const QString& path, QString* reason) {
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        Fail(reason, SystemReason(std::errc::is_a_directory));
    } else if (file.open(QIODevice::ReadOnly)) {
        QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) return bytes;
        Fail(reason, file.errorString());
    } else {
        Fail(reason, file.errorString());
    }
    return std::nullopt;
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes, QString* reason) {
    const QFileInfo existing(path);
    constexpr auto modeBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                              QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                              QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    constexpr auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (existing.exists()) {
        if (existing.isDir()) return Fail(reason, SystemReason(std::errc::is_a_directory));
        // The rename would replace even a file without write permission (always so for root), so the
        // read-only mark is honoured here, as it is on Windows.
        if (!existing.isWritable() || !(existing.permissions() & writeBits))
            return Fail(reason, SystemReason(std::errc::permission_denied));
    }
    // The text goes to a temporary file beside the target, which takes the target's place in one rename: a
    // reader or a failure half-way never meets a partial file. No flush to the disk is forced, since the
    // engine saves a file a dozen times per section and each flush costs milliseconds.
    QFile temp;
    OpenTemporary(temp, path);
    if (!temp.isOpen()) return Fail(reason, temp.errorString());
    bool done = temp.write(bytes) == bytes.size() && temp.flush();
    if (!done) Fail(reason, temp.errorString());
    temp.close();
    if (done && existing.exists() && !temp.setPermissions(existing.permissions() & modeBits))
        done = Fail(reason, temp.errorString());
    if (done) done = RenameReplacing(temp.fileName(), path, reason);
    if (!done) temp.remove();
    return done;
}

bool OverwriteFileBytes(const QString& path, const QByteArray& bytes, QString* reason) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::ExistingOnly))
        return Fail(reason, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) return Fail(reason, file.errorString());
    return true;
}

bool RenameReplacing(const QString& from, const QString& to, QString* reason) {
    std::error_code error;
    std::filesystem::rename(NativePath(from), NativePath(to), error);
    return !error || Fail(reason, QString::fromStdString(error.message()));
}

QString SystemReason(std::errc condition) {
    return QString::fromStdString(std::make_error_code(condition).message());
}

} // namespace bdlogic
