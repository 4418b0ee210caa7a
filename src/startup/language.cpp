#include "language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bdlogic {

namespace {
QString Unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar n = text[i + 1];
            if (n == u'n') {
                out += QStringLiteral("\r\n");
                ++i;
                continue;
            }
            if (n == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}
} // namespace

std::unique_ptr<LanguagePack> LanguagePack::fromText(const QString& text) {
    auto pack = std::unique_ptr<LanguagePack>(new LanguagePack);
    const auto lines = QStringView(text).split(u'\n');
    for (QStringView line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#') || trimmed.startsWith(u';')) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        bool ok = false;
        const int id = line.left(eq).trimmed().toInt(&ok);
        if (!ok) continue;
        pack->texts_.insert(id, Unescape(line.mid(eq + 1)));
    }
    return pack;
}

std::unique_ptr<LanguagePack> LanguagePack::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    return fromBytes(file.readAll());
}

std::unique_ptr<LanguagePack> LanguagePack::fromBytes(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    return fromText(QString::fromUtf8(bytes));
}

std::optional<QString> LanguagePack::loadres(int id, const QStringList& values) const {
    const auto it = texts_.constFind(id);
    if (it == texts_.constEnd()) return std::nullopt;
    // One pass, so that a value that itself holds "%2" is not replaced again.
    const QString& text = *it;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'1' || text[i + 1] == u'2')) {
            const int n = text[i + 1].unicode() - u'1';
            if (n < values.size()) out += values[n];
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

QStringList LanguageSearchPath(const QString& programDir) {
    QStringList dirs;
    const QString env = qEnvironmentVariable("CORVANE_LANGUAGE_PATH");
    // ":" as in PATH; on Windows ";", since ":" belongs to drive letters there.
    for (const QString& d : env.split(QDir::listSeparator(), Qt::SkipEmptyParts)) dirs << d;
    dirs << programDir + QStringLiteral("/lang");
    dirs << programDir + QStringLiteral("/../share/bdlogic/lang");
    return dirs;
}

std::unique_ptr<Language> CreateLanguageLibrary(const QString& className, const QStringList& searchPath) {
    static const QString suffix = QStringLiteral(".LanguageDLL");
    if (!className.endsWith(suffix)) return nullptr;
    const QString name = className.chopped(suffix.size());
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\')) return nullptr;
    for (const QString& dir : searchPath) {
        const QString path = dir + u'/' + name + QStringLiteral(".lng");
        if (QFileInfo(path).isFile()) return LanguagePack::load(path);
    }
    return nullptr;
}

} // namespace bdlogic
