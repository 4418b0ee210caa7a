#include "line_table.h"

#include <iterator>

namespace bdlogic {

QString FoldName(const QString& name) {
    QString out;
    out.reserve(name.size());
    bool ascii = true;
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
        out += c.toLower();
    }
    if (ascii) return out;
    out.clear();
    for (const uint code : name.toUcs4()) {
        const char32_t folded = QChar::toCaseFolded(static_cast<char32_t>(code));
        if (QChar::requiresSurrogates(folded)) {
            out += QChar(QChar::highSurrogate(folded));
            out += QChar(QChar::lowSurrogate(folded));
        } else {
            out += QChar(static_cast<char16_t>(folded));
        }
    }
    return out;
}

namespace {
// The key a line holds: the text before its first "=", folded; null for a line without "=".
QString KeyOf(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : FoldName(line.left(eq));
}
} // namespace

LineTable::LineTable() {
    blocks_.emplace_back();
}

void LineTable::clear() {
    blocks_.clear();
    blocks_.emplace_back();
    count_ = 0;
}

LineTable::Place LineTable::locate(int pos) const {
    int first = 1;
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        const int size = static_cast<int>(blocks_[b].lines.size());
        if (pos < first + size) return {b, static_cast<std::size_t>(pos - first), first};
        first += size;
    }
    return {blocks_.size(), 0, first}; // callers check the range first
}

QString LineTable::at(int pos) const {
    if (pos < 1 || pos > count_) return {};
    const Place p = locate(pos);
    return blocks_[p.block].lines[p.offset];
}

void LineTable::indexAdd(std::size_t block, const QString& line, int delta) const {
    const Block& b = blocks_[block];
    if (!b.indexed) return;
    const QString key = KeyOf(line);
    if (key.isNull()) return;
    auto it = b.keys.find(key);
    if (it == b.keys.end()) it = b.keys.insert(key, 0);
    *it += delta;
    if (*it <= 0) b.keys.erase(it);
}

void LineTable::buildIndex(std::size_t block) const {
    const Block& b = blocks_[block];
    b.keys.clear();
    b.indexed = true;
    for (std::size_t i = BodyStart(block); i < b.lines.size(); ++i)
        indexAdd(block, b.lines[i], 1);
}

void LineTable::appendToBlock(std::size_t block, const QString& line) {
    blocks_[block].lines.push_back(line);
    indexAdd(block, line, 1);
}

void LineTable::append(const QString& line) {
    if (IsHeader(line)) {
        blocks_.emplace_back();
        blocks_.back().lines.push_back(line);
    } else {
        appendToBlock(blocks_.size() - 1, line);
    }
    ++count_;
}

void LineTable::insert(int pos, const QString& line) {
    if (pos < 1 || pos > count_ + 1) return;
    if (pos == count_ + 1) {
        append(line);
        return;
    }
    const Place p = locate(pos);
    const bool atHead = p.offset == 0 && p.block > 0;
    if (IsHeader(line)) {
        Block head;
        head.lines.push_back(line);
        if (!atHead) {
            // The new header takes the rest of the block below it.
            Block& split = blocks_[p.block];
            const auto from = split.lines.begin() + static_cast<std::ptrdiff_t>(p.offset);
            head.lines.insert(head.lines.end(), std::make_move_iterator(from),
                              std::make_move_iterator(split.lines.end()));
            split.lines.erase(from, split.lines.end());
            split.indexed = false;
            split.keys.clear();
            split.scans = 0;
        }
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(atHead ? p.block : p.block + 1),
                       std::move(head));
    } else if (atHead) {
        appendToBlock(p.block - 1, line); // between the previous block's last line and this header
    } else {
        Block& b = blocks_[p.block];
        b.lines.insert(b.lines.begin() + static_cast<std::ptrdiff_t>(p.offset), line);
        indexAdd(p.block, line, 1);
    }
    ++count_;
}

void LineTable::replace(int pos, const QString& line) {
    if (pos < 1 || pos > count_) return;
    const Place p = locate(pos);
    QString& old = blocks_[p.block].lines[p.offset];
    if (IsHeader(old) != IsHeader(line)) {
        remove(pos, pos);
        insert(pos, line);
        return;
    }
    if (p.offset >= BodyStart(p.block)) {
        indexAdd(p.block, old, -1);
        indexAdd(p.block, line, 1);
    }
    old = line;
}

void LineTable::remove(int first, int last) {
    if (first < 1 || last < first || last > count_) return;
    const Place a = locate(first);
    const Place z = locate(last);
    const bool headGoes = a.offset == 0 && a.block > 0;
    Block& start = blocks_[a.block];
    Block& end = blocks_[z.block];
    // Lines after the removed run in its last block; without their header they join the block above.
    std::vector<QString> tail;
    if (headGoes || a.block != z.block)
        tail.assign(std::make_move_iterator(end.lines.begin() + static_cast<std::ptrdiff_t>(z.offset + 1)),
                    std::make_move_iterator(end.lines.end()));
    if (a.block == z.block && !headGoes) {
        for (std::size_t i = a.offset; i <= z.offset; ++i)
            indexAdd(a.block, start.lines[i], -1);
        start.lines.erase(start.lines.begin() + static_cast<std::ptrdiff_t>(a.offset),
                          start.lines.begin() + static_cast<std::ptrdiff_t>(z.offset + 1));
    } else {
        if (!headGoes) {
            for (std::size_t i = a.offset; i < start.lines.size(); ++i)
                indexAdd(a.block, start.lines[i], -1);
            start.lines.erase(start.lines.begin() + static_cast<std::ptrdiff_t>(a.offset), start.lines.end());
        }
        const std::size_t firstGone = headGoes ? a.block : a.block + 1;
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(firstGone),
                      blocks_.begin() + static_cast<std::ptrdiff_t>(z.block + 1));
        const std::size_t target = headGoes ? a.block - 1 : a.block;
        for (const QString& line : tail)
            appendToBlock(target, line);
    }
    count_ -= last - first + 1;
}

void LineTable::scan(int from, const std::function<bool(int, const QString&)>& visit) const {
    if (from < 1) from = 1;
    if (from > count_) return;
    const Place p = locate(from);
    int n = from;
    for (std::size_t b = p.block; b < blocks_.size(); ++b) {
        const auto& lines = blocks_[b].lines;
        for (std::size_t i = b == p.block ? p.offset : 0; i < lines.size(); ++i, ++n)
            if (visit(n, lines[i])) return;
    }
}

int LineTable::sectionLine(const QString& section) const {
    // The line begins with "[" + section + "]"; the brackets have no letter case.
    const auto heads = [&section](const QString& line) {
        const qsizetype n = section.size();
        return line.size() >= n + 2 && line.at(0) == u'[' && line.at(n + 1) == u']' &&
               QStringView(line).sliced(1, n).compare(section, Qt::CaseInsensitive) == 0;
    };
    int first = 1;
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        const auto& lines = blocks_[b].lines;
        if (b > 0 && heads(lines.front())) return first;
        first += static_cast<int>(lines.size());
    }
    return 0;
}

LineTable::KeyFind LineTable::findKey(int header, const QString& key) const {
    const QString text = key + u'=';
    if (header < 1 || header > count_) return {0, false};
    const Place p = locate(header);
    if (p.offset != 0 || p.block == 0) {
        // Not a block head: search line by line.
        KeyFind result{0, false};
        scan(header + 1, [&](int n, const QString& line) {
            if (IsHeader(line)) {
                result = {n, false};
                return true;
            }
            if (line.startsWith(text, Qt::CaseInsensitive)) {
                result = {n, true};
                return true;
            }
            return false;
        });
        return result;
    }
    const Block& b = blocks_[p.block];
    // A table fresh from the disk is often asked once only: scan it rather than index it.
    if (!b.indexed && b.scans++ > 0) buildIndex(p.block);
    if (!b.indexed || b.keys.value(FoldName(key)) > 0) {
        for (std::size_t i = 1; i < b.lines.size(); ++i)
            if (b.lines[i].startsWith(text, Qt::CaseInsensitive))
                return {p.first + static_cast<int>(i), true};
    }
    return {nextHeader(header), false};
}

int LineTable::nextHeader(int header) const {
    if (header < 1 || header > count_) return 0;
    const Place p = locate(header);
    if (p.block + 1 >= blocks_.size()) return 0;
    return p.first + static_cast<int>(blocks_[p.block].lines.size());
}

} // namespace bdlogic
