// Text files in the system's code page (the locale's character set outside Windows).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace bdlogic {

// The file's bytes; nothing when it cannot be opened for reading (missing, a directory, unreadable).
std::optional<QByteArray> ReadFileBytes(const QString& path);
// The file's text, decoded as a whole.
std::optional<QString> ReadTextFile(const QString& path);

// Text to the system's code page and back.
QByteArray EncodeText(QStringView text);
QString DecodeText(QByteArrayView bytes);

// Replaces the file's content atomically: the bytes go to a temporary file beside it, which then takes the
// file's place. A read-only file, a directory or a missing directory is left alone. Returns whether the file
// was written.
bool WriteFileBytes(const QString& path, const QByteArray& bytes);

} // namespace bdlogic
