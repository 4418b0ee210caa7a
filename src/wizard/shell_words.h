// A parameter text split into words the way a POSIX shell splits a command line, without starting a shell.
#pragma once

#include <QString>
#include <QStringList>

namespace bdlogic {

// Blanks (space, tab, line break) separate words. Single quotes keep everything up to the next single quote.
// Double quotes keep everything; inside them a backslash escapes only $ ` " \ and a line break. Outside
// quotes a backslash keeps the next character as it is. A backslash before a line break removes both. Quotes
// that enclose nothing still make a word (""). Nothing is expanded or interpreted: $, `, *, #, | and the like
// are plain characters. A quote left open runs to the end of the text.
QStringList SplitShellWords(const QString& text);

} // namespace bdlogic
