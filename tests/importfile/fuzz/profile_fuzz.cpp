// libFuzzer target: random writes, deferred writes, section deletions and resets of the profile engine on a
// scratch file, against its rules on a plain list of lines (every search a scan) and a file read and written whole.
//
// Input: byte 0 picks the code page (bit 0: ISO-8859-1 instead of UTF-8) and whether saves rewrite the file in
// place (bit 1); byte 1 is the length of the file's first content (255: no file), which follows. Then operations:
// a byte for the kind (bits 0-1: 0, 1 write, 2 delete the section, 3 reset; bit 6: defer the save; bit 7: a value
// of raw bytes) and indices into small sets of names and values. After each operation the file's bytes and the
// engine's lines must equal the model's, and the code page must give back the first content's bytes unchanged.
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

// The engine as the documents tell it: its table a plain list, the file bytes read and written whole.
struct Model {
    CodePage codePage;
    bool inPlace;
    std::optional<QByteArray> disk;
    QStringList lines;
    bool held = false;
    bool byteOrderMark = false; // kept apart from the first line

    bool find(int& position, const QString& text, bool stopAtSection) {
        int lastNonEmpty = 0, stop = 0;
        bool found = false;
        for (int i = std::max(position + 1, 1); i <= lines.size() && stop == 0; ++i) {
            const QString& line = lines[i - 1];
            if (!line.isEmpty()) lastNonEmpty = i;
            if (stopAtSection && line.startsWith(u'[')) {
                stop = i;
            } else if (line.startsWith(text, Qt::CaseInsensitive)) {
                stop = i;
                found = true;
            }
        }
        position = stop > 0 ? stop : static_cast<int>(lines.size()) + 1;
        if (position > lastNonEmpty) lines.append(QString());
        return found;
    }
    void load() {
        reset();
        for (qsizetype start = 0; disk && start < disk->size();) {
            qsizetype end = disk->indexOf('\r', start);
            if (end < 0) end = disk->size();
            lines << codePage.decode(QByteArrayView(*disk).sliced(start, end - start));
            start = end + (disk->mid(end, 2) == "\r\n" ? 2 : 1);
        }
        byteOrderMark = !lines.isEmpty() && lines[0].size() > 1 && lines[0][0] == u'\uFEFF';
        if (byteOrderMark) lines[0].remove(0, 1);
        held = disk.has_value();
    }
    void save() {
        QByteArray bytes = byteOrderMark ? codePage.encode(u"\uFEFF") : QByteArray();
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (!lines[i].isEmpty() || i + 1 == lines.size() || lines[i + 1].contains(u'['))
                bytes += codePage.encode(TrimText(lines[i]) + QStringLiteral("\r\n"));
        if (disk || !inPlace) disk = bytes; // rewriting in place needs the file to be there
        reset();
    }
    void reset() {
        lines.clear();
        held = byteOrderMark = false;
    }
    void writeKey(const QString& section, const QString& key, const QString& value, bool defer) {
        if (!ProfileFile::ProfileValidName(section) || !ProfileFile::ProfileValidName(key)) return;
        if (!held) load();
        const QString line = key + u'=' + value;
        int header = 0;
        if (find(header, u'[' + section + u']', false)) {
            int at = header;
            if (find(at, key + u'=', true))
                lines[at - 1] = line;
            else
                lines.insert(header, line);
        } else {
            if (!lines.constLast().isEmpty()) lines.append(QString());
            lines << u'[' + section + u']' << line;
        }
        if (!defer) save();
    }
    void deleteSection(const QString& section) {
        if (!ProfileFile::ProfileValidName(section)) return;
        load();
        int header = 0;
        if (!find(header, u'[' + section + u']', false)) return;
        int next = header;
        find(next, QStringLiteral("["), true);
        lines.remove(header - 1, next - header);
        save();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every operation reads and writes the file: in memory where the system offers it.
    static const QString file =
        QDir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
            .filePath(QStringLiteral("bdlogic_profile_fuzz_%1.ini").arg(QCoreApplication::applicationPid()));
    std::size_t at = 0;
    const auto byte = [&] { return at < size ? data[at++] : std::uint8_t{0}; };
    const auto pick = [&](const QStringList& from) { return from[byte() % from.size()]; };
    const auto bytes = [&](std::size_t n) {
        n = std::min(n, size - std::min(at, size));
        at += n;
        return QByteArray(reinterpret_cast<const char*>(data + at - n), static_cast<qsizetype>(n));
    };
    const std::uint8_t mode = byte();
    qputenv("LC_ALL", (mode & 1) != 0 ? "de_DE.ISO-8859-1" : "C.UTF-8");
    ProfileFile profile;
    Model model{CodePage(), (mode & 2) != 0, std::nullopt, {}};
    if (model.inPlace) profile.setSaveInPlace(file);
    QFile::remove(file);
    if (const std::uint8_t length = byte(); length != 255) {
        model.disk = bytes(length);
        Require(model.codePage.encode(model.codePage.decode(*model.disk)) == *model.disk);
        QFile f(file);
        Require(f.open(QIODevice::WriteOnly) && f.write(*model.disk) == model.disk->size());
    }
    while (at < size) {
        const std::uint8_t op = byte();
        const bool defer = (op & 0x40) != 0;
        const QString section = pick(kSections), key = pick(kKeys);
        QString value = pick(kValues);
        if (op & 0x80) value = QString::fromLatin1(bytes(byte() % 16));
        switch (op & 3) {
        case 0:
        case 1:
            profile.ProfileWriteKey(section, key, value, file, defer);
            model.writeKey(section, key, value, defer);
            break;
        case 2:
            profile.ProfileDeleteSection(section, file);
            model.deleteSection(section);
            break;
        default:
            profile.ProfileReset();
            model.reset();
        }
        QFile f(file);
        Require(f.open(QIODevice::ReadOnly) == model.disk.has_value() && (!model.disk || f.readAll() == *model.disk));
        Require(profile.lines() == model.lines);
    }
    return 0;
}
