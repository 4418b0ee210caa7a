#include "profile_file.h"

#include "profile_paths.h"
#include "startup/common_code.h"
#include "text_file.h"

#include <QByteArrayView>
#include <QDir>
#include <QFileInfo>

namespace bdlogic {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
constexpr QChar kByteOrderMark(0xFEFF);
constexpr qint64 kLargeFile = 31000;

// Most lines need no trimming; they are copied as they are.
bool NeedsTrim(const QString& line) {
    const auto trimmable = [](QChar c) { return c.unicode() < 20 || c == u' '; };
    return trimmable(line.front()) || trimmable(line.back());
}

// Bare names lie in the Windows directory, which the platform need not have created yet.
QString WritablePath(const QString& file) {
    if (!QDir::isAbsolutePath(file)) QDir().mkpath(WindowsDirectory());
    return ResolveProfilePath(file);
}
} // namespace

bool ProfileFile::ProfileValidName(const QString& name) {
    return !name.contains(u'[') && !name.contains(u']') && !name.contains(u'=');
}

QStringList ProfileFile::lines() const {
    QStringList out;
    out.reserve(table_.count());
    table_.scan(1, [&](int, const QString& line) {
        out << line;
        return false;
    });
    return out;
}

void ProfileFile::ProfileReset() {
    table_.clear();
    held_.clear();
    byteOrderMark_ = false;
}

void ProfileFile::ProfileLoad(const QString& file) {
    table_.clear();
    byteOrderMark_ = false;
    const auto bytes = ReadFileBytes(ResolveProfilePath(file));
    if (!bytes) return;
    // A line ends at CR or at CR LF; a lone LF stays part of the line. Lines are decoded one by one, which
    // spares a copy of the whole text.
    const QByteArrayView all(*bytes);
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf('\r', start);
        if (end < 0) end = all.size();
        const QByteArrayView line = all.sliced(start, end - start);
        table_.append(codePage_.decode(line));
        start = end + 1;
        if (start < all.size() && all.at(start) == '\n') ++start;
    }
    // A byte order mark in front of text is no part of that line, so that a header right behind it counts;
    // the save puts it back. Alone, it is the first line's text, which no save drops.
    const QString first = table_.at(1);
    byteOrderMark_ = first.size() > 1 && first.front() == kByteOrderMark;
    if (byteOrderMark_) table_.replace(1, first.mid(1));
    held_ = file;
}

void ProfileFile::ProfileSave(const QString& file) {
    // Room for every line, its CR LF, and the CR LF of an empty line kept before it; and a byte order mark.
    qsizetype room = 2 + codePage_.requiredSpace(1);
    table_.scan(1, [&](int, const QString& line) {
        room += codePage_.requiredSpace(line.size()) + 4;
        return false;
    });
    QByteArray bytes(room, Qt::Uninitialized);
    char* out = bytes.data();
    if (byteOrderMark_) out = codePage_.appendToBuffer(out, QStringView(&kByteOrderMark, 1));
    const auto endLine = [&out] {
        *out++ = '\r';
        *out++ = '\n';
    };
    // An empty line survives only before a line that holds "[" somewhere, and as the last line.
    bool pendingEmpty = false;
    table_.scan(1, [&](int, const QString& line) {
        if (pendingEmpty && line.contains(u'[')) endLine();
        pendingEmpty = line.isEmpty();
        if (!pendingEmpty) {
            out = NeedsTrim(line) ? codePage_.appendToBuffer(out, TrimText(line))
                                  : codePage_.appendToBuffer(out, line);
            endLine();
        }
        return false;
    });
    if (pendingEmpty) endLine();
    bytes.truncate(out - bytes.constData());
    store(file, bytes);
    ProfileReset();
}

bool ProfileFile::store(const QString& file, const QByteArray& bytes) {
    QString reason;
    const bool stored = !inPlace_.isEmpty() && SameFileName(file, inPlace_)
                            ? OverwriteFileBytes(ResolveProfilePath(file), bytes, &reason)
                            : WriteFileBytes(WritablePath(file), bytes, &reason);
    if (!stored && saveError_.isEmpty()) saveError_ = reason;
    return stored;
}

bool ProfileFile::ProfileFindLine(int& position, const QString& text, bool stopAtSection) {
    int lastNonEmpty = 0;
    int stop = 0;
    bool found = false;
    const int from = position < table_.count() ? position + 1 : table_.count() + 1;
    table_.scan(from, [&](int n, const QString& line) {
        if (!line.isEmpty()) lastNonEmpty = n;
        if (stopAtSection && line.startsWith(u'[')) {
            stop = n;
            return true;
        }
        if (line.startsWith(text, Qt::CaseInsensitive)) {
            stop = n;
            found = true;
            return true;
        }
        return false;
    });
    position = stop > 0 ? stop : table_.count() + 1;
    if (position > lastNonEmpty) table_.append(QString());
    return found;
}

bool ProfileFile::findSection(int& position, const QString& section) {
    position = table_.sectionLine(section);
    if (position > 0) return true;
    position = table_.count() + 1;
    table_.append(QString());
    return false;
}

bool ProfileFile::findKey(int& position, const QString& key) {
    const LineTable::KeyFind k = table_.findKey(position, key);
    if (k.line > 0) {
        position = k.line;
        return k.found;
    }
    position = table_.count() + 1;
    table_.append(QString());
    return false;
}

void ProfileFile::findNextSection(int& position) {
    const int next = table_.nextHeader(position);
    if (next > 0) {
        position = next;
        return;
    }
    position = table_.count() + 1;
    table_.append(QString());
}

void ProfileFile::ProfileInsertLine(const QString& text, int& position) {
    if (position == 0) {
        table_.append(text);
        position = table_.count();
        return;
    }
    if (position < 0 || position > table_.count() + 1) {
        table_.append(QString()); // the table grows before the line is placed, and the placing fails
        return;
    }
    table_.insert(position, text);
}

void ProfileFile::ProfileDeleteLines(int first, int last) {
    table_.remove(first, last == 0 ? first : last);
}

bool ProfileFile::ProfileWriteKey(const QString& section, const QString& key, const QString& value,
                                  const QString& file, bool deferSave) {
    if (!ProfileValidName(section) || !ProfileValidName(key)) return true;
    if (held_.isEmpty() || !SameFileName(held_, file)) ProfileLoad(file);
    const QString line = key + u'=' + value;
    int header = 0;
    if (findSection(header, section)) {
        int at = header;
        if (findKey(at, key)) {
            table_.replace(at, line);
        } else {
            int below = header + 1;
            ProfileInsertLine(line, below);
        }
    } else {
        if (!table_.at(table_.count()).isEmpty()) table_.append(QString());
        table_.append(u'[' + section + u']');
        table_.append(line);
    }
    if (!deferSave) ProfileSave(file);
    return false;
}

void ProfileFile::ProfileDeleteSection(const QString& section, const QString& file) {
    if (!ProfileValidName(section)) return;
    ProfileLoad(file);
    int header = 0;
    if (!findSection(header, section)) return;
    int next = header;
    findNextSection(next);
    ProfileDeleteLines(header, next - 1);
    ProfileSave(file);
}

int ProfileFile::ProfileWriteKeyLarge(const QString& section, const QString& key, const QString& value,
                                      const QString& file) {
    const QString path = ResolveProfilePath(file);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() < kLargeFile)
        return ProfileWriteKey(section, key, value, file, false) ? -1 : 0;
    QString reason;
    const auto read = ReadFileBytes(path, &reason);
    if (!read) { // rewriting a file that could not be read would lose it
        if (saveError_.isEmpty()) saveError_ = reason;
        return -1;
    }
    QString text = codePage_.decode(*read);
    const QString header = u'[' + section + u']';
    const QString entry = key + u'=' + value;
    const qsizetype at = text.indexOf(header, 0, Qt::CaseInsensitive);
    if (at < 0) {
        if (!text.isEmpty()) text += kCrLf;
        text += header + kCrLf + entry;
    } else {
        const qsizetype bodyStart = at + header.size();
        qsizetype bodyEnd = text.indexOf(kCrLf + u'[', bodyStart);
        if (bodyEnd < 0) bodyEnd = text.size();
        QString body = text.mid(bodyStart, bodyEnd - bodyStart);
        const qsizetype k = body.indexOf(key + u'=', 0, Qt::CaseInsensitive);
        if (k >= 0) {
            qsizetype lineEnd = body.indexOf(kCrLf, k);
            if (lineEnd < 0) lineEnd = body.size();
            body.replace(k, lineEnd - k, entry);
        } else {
            if (body.endsWith(kCrLf + kCrLf)) body.chop(kCrLf.size());
            body += entry;
        }
        text = text.left(bodyStart) + body + text.mid(bodyEnd);
    }
    return store(file, codePage_.encode(text + kCrLf)) ? 0 : -1;
}

} // namespace bdlogic
