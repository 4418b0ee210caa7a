// Where the profile engine's files lie: the directory that bare file names resolve to, and the file tests.
#pragma once

#include <QString>

namespace bdlogic {

// The directory that bare file names resolve to, ending in the path separator: the Windows directory on
// Windows,
// ${XDG_DATA_HOME:-$HOME/.local/share}/Corvane/ elsewhere.
QString WindowsDirectory();

// `file` itself when it is absolute, else the same name inside WindowsDirectory(). The process's current
// directory plays no part.
QString ResolveProfilePath(const QString& file);

// True when the file can be opened for reading: false for a directory, a missing or an unreadable file.
bool FileExists(const QString& path);

// Whether two file names name the same file, with the letter case rule of the platform's file system.
bool SameFileName(const QString& a, const QString& b);

} // namespace bdlogic
