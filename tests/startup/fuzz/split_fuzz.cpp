// libFuzzer target: texts through SplitText and the field splitter. Byte 0 picks the splitter's separator, byte 1
// is SplitText's (Latin-1), the rest is the text (Latin-1, as the meter's answers are read). The parts joined with
// the separator must give the text back, none may hold it, and the two splitters must agree where their rules meet.
#include "startup/common_code.h"
#include "startup/field_splitter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bdlogic;
    const auto Require = [](bool ok) { if (!ok) std::abort(); };
    if (size < 2) return 0;
    static const QString separators[] = {QStringLiteral("|"), QStringLiteral(","), QStringLiteral("\r\n"),
                                         QStringLiteral("aa"), QString()};
    const QString single{QChar(data[1])};
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));

    QStringList parts{QStringLiteral("Ω")}; // no Latin-1 separator is in it
    const int last = SplitText(text, parts, single[0]);
    const bool trailing = text.endsWith(single);
    Require(text.isEmpty() ? last == -1 && parts == QStringList{QStringLiteral("Ω")}
                           : last == parts.size() - 1 && parts.join(single) + (trailing ? single : QString()) == text);
    for (const QString& part : parts) Require(!part.contains(single));

    // The splitter keeps its text when the separator changes; it keeps the empty field after a trailing
    // separator, SplitText does not.
    FieldSplitter f(separators[data[0] % 5]);
    f.setText(text);
    for (const QString& separator : {separators[data[0] % 5], separators[(data[0] + 1) % 5], single}) {
        f.setSeparator(separator);
        QStringList fields;
        for (qsizetype n = 1; n <= f.count(); ++n) fields << f.field(n);
        Require(f.field(0) == text && f.field(f.count() + 1).isEmpty() && (f.count() == 0) == text.isEmpty());
        Require(separator.isEmpty() ? f.count() <= 1 : fields.join(separator) == text);
        if (separator == single && !text.isEmpty()) Require(fields.mid(0, fields.size() - trailing) == parts);
    }
    return 0;
}
