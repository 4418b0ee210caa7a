// libFuzzer target: texts through SplitText and the field splitter.
//
// Input: byte 0 picks the field splitter's separator, byte 1 is SplitText's separator (Latin-1), the rest is the
// text (Latin-1, as the meter's answers are read). The parts joined with the separator must give the text back,
// none may hold the separator, and the two splitters must agree where their rules meet. Any broken rule aborts.
#include "startup/common_code.h"
#include "startup/field_splitter.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace bdlogic;

void Require(bool ok) {
    if (!ok) std::abort();
}

// Checks the splitter's fields against its text; returns them.
QStringList CheckFields(const FieldSplitter& f, const QString& text, const QString& separator) {
    Require(f.field(0) == text && f.field(f.count() + 1).isEmpty() && f.field(-1).isEmpty());
    Require((f.count() == 0) == text.isEmpty());
    QStringList fields;
    for (qsizetype n = 1; n <= f.count(); ++n) fields << f.field(n);
    if (separator.isEmpty()) {
        Require(f.count() == (text.isEmpty() ? 0 : 1));
    } else {
        Require(fields.join(separator) == text);
    }
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static const QString separators[] = {QStringLiteral("|"), QStringLiteral(","), QStringLiteral("\r\n"),
                                         QStringLiteral("aa"), QString()};
    const QString& fieldSeparator = separators[data[0] % 5];
    const QChar separator = QChar(data[1]);
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));

    QStringList parts{QStringLiteral("kept")};
    const int last = SplitText(text, parts, separator);
    if (text.isEmpty()) {
        Require(last == -1 && parts == QStringList{QStringLiteral("kept")});
    } else {
        Require(last == parts.size() - 1);
        const bool trailing = text.endsWith(separator);
        Require(parts.join(separator) + (trailing ? QString(separator) : QString()) == text);
        for (const QString& part : parts) Require(!part.contains(separator));
        // The field splitter keeps the empty field after a trailing separator, SplitText does not.
        const QString single(separator);
        FieldSplitter f(single);
        f.setText(text);
        QStringList fields = CheckFields(f, text, single);
        if (trailing) fields.removeLast();
        Require(fields == parts);
    }

    FieldSplitter f(fieldSeparator);
    f.setText(text);
    CheckFields(f, text, fieldSeparator);
    f.setSeparator(separators[(data[0] + 1) % 5]); // the text stays and is split again
    CheckFields(f, text, separators[(data[0] + 1) % 5]);
    return 0;
}
