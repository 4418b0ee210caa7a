#include "shell_words.h"

namespace bdlogic {

namespace {
bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Escapable after a backslash inside double quotes.
bool IsSpecialInDoubleQuotes(QChar c) {
    return c == u'$' || c == u'`' || c == u'"' || c == u'\\';
}
} // namespace

QStringList SplitShellWords(const QString& text) {
    QStringList words;
    QString word;
    bool inWord = false; // also true for a word that is so far only an empty pair of quotes
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        const bool hasNext = i + 1 < n;
        if (c == u'\\' && hasNext && text.at(i + 1) == u'\n') {
            ++i; // a continued line
        } else if (IsBlank(c)) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else if (c == u'\\') {
            inWord = true;
            word += hasNext ? text.at(++i) : c; // a backslash at the very end stays
        } else if (c == u'\'') {
            inWord = true;
            qsizetype close = text.indexOf(u'\'', i + 1);
            if (close < 0) close = n;
            word += text.mid(i + 1, close - i - 1);
            i = close;
        } else if (c == u'"') {
            inWord = true;
            for (++i; i < n && text.at(i) != u'"'; ++i) {
                if (text.at(i) == u'\\' && i + 1 < n) {
                    const QChar next = text.at(i + 1);
                    if (next == u'\n') {
                        ++i;
                        continue;
                    }
                    if (IsSpecialInDoubleQuotes(next)) ++i;
                }
                word += text.at(i);
            }
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord) words << word;
    return words;
}

} // namespace bdlogic
