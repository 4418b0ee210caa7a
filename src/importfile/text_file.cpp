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

// A new file beside `path` that no one else uses; not open when the directory takes no files.
void OpenTemporary(QFile& temp, const QString& path) {
    for (int attempt = 0; attempt < 16 && !temp.isOpen(); ++attempt) {
        const quint32 tag = QRandomGenerator::global()->generate();
        temp.setFileName(path + QStringLiteral(".%1.tmp").arg(tag, 8, 16, QLatin1Char('0')));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return;
    }
}
} // namespace

std::optional<QByteArray> ReadFileBytes(const QString& path) {
    if (QFileInfo(path).isDir()) return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return bytes;
}

bool WriteFileBytes(const QString& path, const QByteArray& bytes) {
    const QFileInfo existing(path);
    constexpr auto modeBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                              QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                              QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    constexpr auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (existing.exists()) {
        // The rename would replace even a file without write permission (always so for root), so the
        // read-only mark is honoured here, as it is on Windows.
        if (existing.isDir() || !existing.isWritable() || !(existing.permissions() & writeBits)) return false;
    }
    // The text goes to a temporary file beside the target, which takes the target's place in one rename: a
    // reader or a failure half-way never meets a partial file. No flush to the disk is forced, since the
    // engine saves a file a dozen times per section and each flush costs milliseconds.
    QFile temp;
    OpenTemporary(temp, path);
    if (!temp.isOpen()) return false;
    bool done = temp.write(bytes) == bytes.size() && temp.flush();
    temp.close();
    if (done && existing.exists()) done = temp.setPermissions(existing.permissions() & modeBits);
    std::error_code error;
    if (done) std::filesystem::rename(NativePath(temp.fileName()), NativePath(path), error);
    if (!done || error) {
        temp.remove();
        return false;
    }
    return true;
}

} // namespace bdlogic
