// Whole files in and out. Where a call fails, `reason` (when given) receives the system's reason.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <system_error>

namespace bdlogic {

// The file's bytes; nothing when it cannot be opened for reading (missing, a directory, unreadable).
std::optional<QByteArray> ReadFileBytes(const QString& path, QString* reason = nullptr);
// Replaces the file's content atomically: the bytes go to a temporary file beside it, which then takes the
// file's place. A read-only file, a directory or a missing directory is left alone. Returns whether the file
// was written.
bool WriteFileBytes(const QString& path, const QByteArray& bytes, QString* reason = nullptr);
// Rewrites an existing file in place, so that it stays the same file; a failure half-way leaves it cut short.
bool OverwriteFileBytes(const QString& path, const QByteArray& bytes, QString* reason = nullptr);
// Gives the file `from` the name `to` in one step, replacing a file of that name.
bool RenameReplacing(const QString& from, const QString& to, QString* reason = nullptr);
// The system's wording of an error condition ("Permission denied").
QString SystemReason(std::errc condition);

} // namespace bdlogic
