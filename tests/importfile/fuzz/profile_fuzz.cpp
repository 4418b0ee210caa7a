// libFuzzer target: random sequences of the profile engine's writes on a scratch file, against the engine's
// rules on a plain list of lines (every search a scan) and a file that is only read and written whole.
//
// Input: byte 0 picks the code page (bit 0: ISO-8859-1 instead of UTF-8) and whether saves rewrite the file
// in place (bit 1); byte 1 is the length of the file's first content (255: no file), which follows. The rest
// is operations: one byte for the kind, then indices into small sets of names and values, or raw bytes. After
// each operation the file's bytes and the engine's table must equal the model's; any difference aborts. The
// code page must give back the bytes of the first content unchanged.
#include "../plain_table.h"
#include "importfile/profile_file.h"
#include "startup/common_code.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

using namespace bdlogic;

void Require(bool ok) {
    if (!ok) std::abort();
}

const QStringList kSections{"GLUCOSE", "glucose", "MEDICINES", "S", "S]x", "A=B", "", "\u00c4"};
const QStringList kKeys{"0", "1", "10", "Entries", "ENTRIES", "Driver Version", "K[", "\u00df"};
const QStringList kValues{"", "v", " padded  ", "[GLUCOSE]", "a=b", "\u00e4\u20ac", "\t", "x|y"};
const QString kCrLf = QStringLiteral("\r\n");

// The engine as the documents tell it, over bytes that stand for the file.
struct Model {
    CodePage codePage;
    bool inPlace;
    std::optional<QByteArray> disk;
    test::PlainTable table;
    bool held = false;
    bool byteOrderMark = false; // kept apart from the first line

    void load() {
        table.lines.clear();
        byteOrderMark = false;
        if (!disk) return;
        for (qsizetype start = 0; start < disk->size();) {
            qsizetype end = disk->indexOf('\r', start);
            if (end < 0) end = disk->size();
            table.lines << codePage.decode(QByteArrayView(*disk).sliced(start, end - start));
            start = end + (disk->mid(end, 2) == "\r\n" ? 2 : 1);
        }
        byteOrderMark = !table.lines.isEmpty() && table.lines[0].size() > 1 && table.lines[0][0] == u'\uFEFF';
        if (byteOrderMark) table.lines[0].remove(0, 1);
        held = true;
    }
    void save() {
        QByteArray bytes = byteOrderMark ? codePage.encode(u"\uFEFF") : QByteArray();
        const QStringList& lines = table.lines;
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (!lines[i].isEmpty() || i + 1 == lines.size() || lines[i + 1].contains(u'['))
                bytes += codePage.encode(TrimText(lines[i]) + kCrLf);
        if (disk || !inPlace) disk = bytes; // rewriting in place needs the file to be there
        reset();
    }
    void reset() {
        table.lines.clear();
        held = byteOrderMark = false;
    }
    void writeKey(const QString& section, const QString& key, const QString& value, bool defer) {
        if (!ProfileFile::ProfileValidName(section) || !ProfileFile::ProfileValidName(key)) return;
        if (!held) load();
        table.writeKey(section, key, value);
        if (!defer) save();
    }
    void deleteSection(const QString& section) {
        if (!ProfileFile::ProfileValidName(section)) return;
        load();
        int header = 0;
        if (!table.find(header, u'[' + section + u']', false)) return;
        int next = header;
        table.find(next, QStringLiteral("["), true);
        table.remove(header, next - 1);
        save();
    }
    void writeKeyLarge(const QString& section, const QString& key, const QString& value) {
        if (!disk || disk->size() < 31000) return writeKey(section, key, value, false);
        QString text = codePage.decode(*disk);
        const QString header = u'[' + section + u']', entry = key + u'=' + value;
        const qsizetype at = text.indexOf(header, 0, Qt::CaseInsensitive);
        if (at < 0) {
            text += (text.isEmpty() ? QString() : kCrLf) + header + kCrLf + entry;
        } else {
            const qsizetype from = at + header.size();
            qsizetype to = text.indexOf(kCrLf + u'[', from);
            if (to < 0) to = text.size();
            QString body = text.mid(from, to - from);
            const qsizetype k = body.indexOf(key + u'=', 0, Qt::CaseInsensitive);
            if (k >= 0) {
                const qsizetype end = body.indexOf(kCrLf, k);
                body.replace(k, (end < 0 ? body.size() : end) - k, entry);
            } else {
                if (body.endsWith(kCrLf + kCrLf)) body.chop(2);
                body += entry;
            }
            text = text.left(from) + body + text.mid(to);
        }
        disk = codePage.encode(text + kCrLf);
    }
};

struct Input {
    const std::uint8_t* data;
    std::size_t size, at = 0;
    std::uint8_t byte() { return at < size ? data[at++] : 0; }
    const QString& pick(const QStringList& from) { return from[byte() % from.size()]; }
    QByteArray bytes(std::size_t n) {
        n = std::min(n, size - std::min(at, size));
        const QByteArray out(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(n));
        at += n;
        return out;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every operation reads and writes the file: in memory where the system offers it.
    static const QString file =
        QDir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
            .filePath(QStringLiteral("bdlogic_profile_fuzz_%1.ini").arg(QCoreApplication::applicationPid()));
    Input in{data, size};
    const std::uint8_t mode = in.byte();
    qputenv("LC_ALL", (mode & 1) != 0 ? "de_DE.ISO-8859-1" : "C.UTF-8");
    ProfileFile profile;
    Model model{CodePage(), (mode & 2) != 0, std::nullopt, {}, false};
    if (model.inPlace) profile.setSaveInPlace(file);
    QFile::remove(file);
    if (const std::uint8_t length = in.byte(); length != 255) {
        model.disk = in.bytes(length);
        Require(model.codePage.encode(model.codePage.decode(*model.disk)) == *model.disk);
        QFile f(file);
        Require(f.open(QIODevice::WriteOnly) && f.write(*model.disk) == model.disk->size());
    }
    while (in.at < size) {
        const std::uint8_t op = in.byte();
        const QString section = in.pick(kSections), key = in.pick(kKeys);
        QString value = in.pick(kValues);
        if (op & 0x80) value = QString::fromLatin1(in.bytes(in.byte() % 16));
        switch (op % 6) {
        case 0:
        case 1:
            profile.ProfileWriteKey(section, key, value, file, (op & 0x40) != 0);
            model.writeKey(section, key, value, (op & 0x40) != 0);
            break;
        case 2:
            profile.ProfileDeleteSection(section, file);
            model.deleteSection(section);
            break;
        case 3:
            profile.ProfileWriteKeyLarge(section, key, value, file);
            model.writeKeyLarge(section, key, value);
            break;
        case 4: // a file large enough for the whole-text path, once
            if (model.disk && model.disk->size() >= 31000) break;
            profile.ProfileWriteKey(section, QStringLiteral("pad"), QString(31000, u'x'), file, false);
            model.writeKey(section, QStringLiteral("pad"), QString(31000, u'x'), false);
            break;
        default:
            profile.ProfileReset();
            model.reset();
        }
        QFile f(file);
        Require(f.open(QIODevice::ReadOnly) == model.disk.has_value());
        Require(!model.disk || f.readAll() == *model.disk);
        Require(profile.lines() == model.table.lines);
    }
    return 0;
}
