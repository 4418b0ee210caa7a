// Whole files in and out.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace bdlogic {

// The file's bytes; nothing when it cannot be opened for reading (missing, a directory, unreadable).
std::optional<QByteArray> ReadFileBytes(const QString& path);
// Replaces the file's content atomically: the bytes go to a temporary file beside it, which then takes the
// file's place. A read-only file, a directory or a missing directory is left alone. Returns whether the file
// was written.
bool WriteFileBytes(const QString& path, const QByteArray& bytes);

} // namespace bdlogic
