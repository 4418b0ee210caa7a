// libFuzzer target: a language pack's bytes through the parser and the lookup. Every text for an id the input names
// must have each line break as CR LF and place the values once (values that hold placeholders give a text as long
// as values without them); a broken rule aborts.
#include "startup/language.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using bdlogic::LanguagePack;
    const auto Require = [](bool ok) { if (!ok) std::abort(); };
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto pack = LanguagePack::fromBytes(bytes);
    Require(pack != nullptr);
    // The ids the input names: the number before the first "=" of a line.
    for (const QByteArray& line : bytes.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        bool ok = false;
        const int id = eq > 0 ? line.first(eq).trimmed().toInt(&ok) : 0;
        if (!ok) continue;
        const auto text = pack->loadres(id, {QStringLiteral("%1%2"), QStringLiteral("%2%1")});
        if (!text) continue;
        for (qsizetype i = text->indexOf(u'\n'); i >= 0; i = text->indexOf(u'\n', i + 1))
            Require(i > 0 && text->at(i - 1) == u'\r');
        const auto plain = pack->loadres(id, {QStringLiteral("abcd"), QStringLiteral("efgh")});
        Require(plain && plain->size() == text->size());
    }
    return 0;
}
