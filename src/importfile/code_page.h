// Text files in the system's code page: the ANSI code page on Windows, the character set of the locale
// elsewhere.
//
// Decoding loses nothing: a byte that is not text in the code page becomes the code point U+DC00 + the byte
// (a lone surrogate, which no text of the program holds), and encoding turns it back into that byte. So a
// line that is read and written again keeps its bytes, whatever they are. A character that the code page
// lacks is written as "?".
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace bdlogic {

class CodePage {
public:
    // The code page that the environment names now (LC_ALL, LC_CTYPE, LANG outside Windows).
    CodePage();

    QString decode(QByteArrayView bytes);
    QByteArray encode(QStringView text);
    // Room that appendToBuffer needs at most for a text of `length` UTF-16 code units.
    qsizetype requiredSpace(qsizetype length) const;
    // Encodes `text` at `out` and returns the end of what it wrote.
    char* appendToBuffer(char* out, QStringView text);

    // The name the code page is known by; "UTF-8" also where the locale names no character set (C, POSIX) or
    // one that the system cannot convert.
    const QByteArray& name() const { return name_; }

private:
    QString decodeByteByByte(QByteArrayView bytes);
    char* encodeCharByChar(char* out, QStringView text);
    bool roundTrips(QByteArrayView bytes, QStringView text);

    QByteArray name_;
    bool lossless_; // every text that decodes without an error encodes to the same bytes again
    QStringDecoder decoder_;
    QStringEncoder encoder_;
};

} // namespace bdlogic
