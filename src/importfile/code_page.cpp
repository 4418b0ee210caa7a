#include "code_page.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <langinfo.h>
#include <locale.h>
#endif

namespace bdlogic {

namespace {
using Flag = QStringConverter::Flag;
// A byte order mark at the start is text like any other, so that it is written back.
constexpr QStringConverter::Flags kDecodeFlags = Flag::Stateless | Flag::ConvertInitialBom;
constexpr QStringConverter::Flags kEncodeFlags = Flag::Stateless;
// No character of a code page that a locale can name takes more bytes.
constexpr qsizetype kLongestChar = 4;
constexpr char16_t kEscapeBase = 0xDC00;

#ifndef Q_OS_WIN
// The character set of the locale that the environment names, read without touching the process's locale.
QByteArray LocaleCharset() {
    const locale_t locale = newlocale(LC_CTYPE_MASK, "", locale_t(nullptr));
    if (locale == locale_t(nullptr)) return {};
    QByteArray name(nl_langinfo_l(CODESET, locale));
    freelocale(locale);
    return name;
}

// The C and POSIX locales name plain ASCII, which means no character set was chosen: UTF-8 then, as Qt itself
// assumes. So too for a character set that the system cannot convert.
QByteArray SystemName() {
    const QByteArray name = LocaleCharset();
    if (name.isEmpty() || name == "ANSI_X3.4-1968" || name == "US-ASCII" || name == "ASCII") return "UTF-8";
    if (!QStringEncoder(name.constData()).isValid() || !QStringDecoder(name.constData()).isValid())
        return "UTF-8";
    return name;
}

bool IsLossless(const QByteArray& name) {
    const auto builtIn = QStringConverter::encodingForName(name.constData());
    return builtIn == QStringConverter::Utf8 || builtIn == QStringConverter::Latin1;
}
#endif
} // namespace

#ifdef Q_OS_WIN
// Qt's system converter is the ANSI code page here.
CodePage::CodePage()
    : name_("CP" + QByteArray::number(static_cast<quint32>(GetACP()))), lossless_(false),
      decoder_(QStringConverter::System, kDecodeFlags), encoder_(QStringConverter::System, kEncodeFlags) {}
#else
CodePage::CodePage()
    : name_(SystemName()), lossless_(IsLossless(name_)), decoder_(name_.constData(), kDecodeFlags),
      encoder_(name_.constData(), kEncodeFlags) {}
#endif

QString CodePage::decode(QByteArrayView bytes) {
    QString text = decoder_(bytes);
    if (!decoder_.hasError() && (lossless_ || roundTrips(bytes, text))) return text;
    decoder_.resetState();
    return decodeByteByByte(bytes);
}

// Takes the shortest run of bytes that is one character at each place, or else the byte alone as its escape.
QString CodePage::decodeByteByByte(QByteArrayView bytes) {
    QString out;
    out.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype length = 1;
        QString piece;
        for (; length <= kLongestChar && at + length <= bytes.size(); ++length) {
            const QByteArrayView part = bytes.sliced(at, length);
            piece = decoder_(part);
            if (decoder_.hasError()) {
                decoder_.resetState();
                continue;
            }
            if (!piece.isEmpty() && (lossless_ || roundTrips(part, piece))) break;
        }
        if (length > kLongestChar || at + length > bytes.size()) {
            out += QChar(static_cast<char16_t>(kEscapeBase + static_cast<std::uint8_t>(bytes[at])));
            ++at;
        } else {
            out += piece;
            at += length;
        }
    }
    return out;
}

bool CodePage::roundTrips(QByteArrayView bytes, QStringView text) {
    const QByteArray again = encoder_(text);
    if (encoder_.hasError()) {
        encoder_.resetState();
        return false;
    }
    return again == bytes;
}

qsizetype CodePage::requiredSpace(qsizetype length) const {
    return std::max(encoder_.requiredSpace(length), kLongestChar * length);
}

char* CodePage::appendToBuffer(char* out, QStringView text) {
    char* end = encoder_.appendToBuffer(out, text);
    if (!encoder_.hasError()) return end;
    encoder_.resetState();
    return encodeCharByChar(out, text);
}

char* CodePage::encodeCharByChar(char* out, QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isLowSurrogate(c)) { // alone: the low half of a pair goes with its high half below
            *out++ = c < kEscapeBase + 0x100 ? static_cast<char>(c - kEscapeBase) : '?';
            continue;
        }
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QByteArray bytes = encoder_(text.sliced(i, pair ? 2 : 1));
        if (encoder_.hasError() || bytes.isEmpty() || bytes.size() > kLongestChar) {
            encoder_.resetState();
            *out++ = '?';
        } else {
            std::memcpy(out, bytes.constData(), static_cast<std::size_t>(bytes.size()));
            out += bytes.size();
        }
        if (pair) ++i;
    }
    return out;
}

QByteArray CodePage::encode(QStringView text) {
    QByteArray bytes(requiredSpace(text.size()), Qt::Uninitialized);
    bytes.truncate(appendToBuffer(bytes.data(), text) - bytes.constData());
    return bytes;
}

} // namespace bdlogic
