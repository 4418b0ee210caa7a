#include "work_file.h"

#include "text_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#ifndef Q_OS_WIN
#include <cerrno>
#include <sys/file.h>
#include <sys/stat.h>
#endif

namespace bdlogic {

namespace {
const QString kSuffix = QStringLiteral(".part");

QString WorkName(const QString& finalName) {
    const quint32 tag = QRandomGenerator::global()->generate();
    return u'.' + finalName + QStringLiteral(".%1").arg(tag, 8, 16, QLatin1Char('0')) + kSuffix;
}

#ifdef Q_OS_WIN
// Qt opens files without sharing their deletion, so a run's open work file cannot be removed by another one.
bool Hold(QFile&) {
    return true;
}
void RemoveUnlessHeld(const QString& path) {
    QFile::remove(path);
}
#else
// Locks the work file for as long as it is open. False when another run's sweep took it first, which then
// removes it. A file system without locks leaves the file unlocked but still ours.
bool Hold(QFile& file) {
    if (::flock(file.handle(), LOCK_EX | LOCK_NB) != 0) return errno != EWOULDBLOCK;
    struct stat held {};
    return ::fstat(file.handle(), &held) == 0 && held.st_nlink > 0;
}

void RemoveUnlessHeld(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || ::flock(file.handle(), LOCK_EX | LOCK_NB) != 0) return;
    // Still the file that was locked (not one that took its name since), and its run is gone.
    struct stat locked {};
    struct stat named {};
    if (::fstat(file.handle(), &locked) == 0 && ::stat(QFile::encodeName(path).constData(), &named) == 0 &&
        locked.st_dev == named.st_dev && locked.st_ino == named.st_ino)
        QFile::remove(path);
}
#endif

void RemoveLeftovers(const QDir& dir) {
    static const QRegularExpression kWorkFile(QStringLiteral("^\\..+\\.[0-9a-f]{8}\\.part$"));
    const QStringList names =
        dir.entryList({u'*' + kSuffix}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names)
        if (kWorkFile.match(name).hasMatch()) RemoveUnlessHeld(dir.filePath(name));
}
} // namespace

WorkFile::WorkFile(const QString& finalPath) : final_(finalPath) {
    const QFileInfo info(finalPath);
    RemoveLeftovers(info.dir());
    if (create(info.path(), info.fileName()) && !takeOver()) {
        held_.close();
        QFile::remove(path_);
        path_.clear();
    }
}

WorkFile::~WorkFile() {
    held_.close();
    if (!committed_ && !path_.isEmpty()) QFile::remove(path_);
}

bool WorkFile::create(const QString& dir, const QString& name) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        held_.setFileName(QDir(dir).filePath(WorkName(name)));
        if (!held_.open(QIODevice::ReadWrite | QIODevice::NewOnly)) {
            if (held_.exists()) continue; // the tag is taken
            error_ = held_.errorString();
            return false;
        }
        if (Hold(held_)) {
            path_ = held_.fileName();
            return true;
        }
        held_.close();
    }
    error_ = SystemReason(std::errc::file_exists);
    return false;
}

// The work file starts as a copy of a file that already has the final name, so that the run adds to it.
bool WorkFile::takeOver() {
    const QFileInfo existing(final_);
    if (!existing.exists()) return true;
    constexpr auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (existing.isDir()) {
        error_ = SystemReason(std::errc::is_a_directory);
        return false;
    }
    // A read-only file keeps its content, even for root whom the rename would let replace it.
    if (!existing.isWritable() || !(existing.permissions() & writeBits)) {
        error_ = SystemReason(std::errc::permission_denied);
        return false;
    }
    const auto bytes = ReadFileBytes(final_, &error_);
    if (!bytes) return false;
    if (held_.write(*bytes) != bytes->size() || !held_.flush() ||
        !held_.setPermissions(existing.permissions())) {
        error_ = held_.errorString();
        return false;
    }
    return true;
}

bool WorkFile::commit() {
    if (path_.isEmpty()) return false;
#ifdef Q_OS_WIN
    held_.close(); // an open file cannot be renamed there
#endif
    committed_ = RenameReplacing(path_, final_, &error_);
    held_.close();
    return committed_;
}

} // namespace bdlogic
