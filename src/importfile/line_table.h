// The profile engine's lines, numbered from 1, without line terminators.
//
// The lines are kept in blocks that each begin at a line starting with "[" (block 0 holds the lines before
// the first one). A block keeps its lines in a deque and, from its second key look-up on, a count of the key
// names its lines hold. So the writers' usual moves stay cheap on large files: finding a section looks at
// block heads only, a key that a section does not hold is known to be absent without a scan, and a line
// inserted below a header shifts nothing.
#pragma once

#include <QHash>
#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace bdlogic {

class LineTable {
public:
    LineTable();

    int count() const { return count_; }
    // Line `pos` (1..count()); an empty text outside that range.
    QString at(int pos) const;

    void clear();
    void append(const QString& line);
    // Places `line` at `pos` (1..count() + 1); the lines from `pos` on move down by one. Ignored outside that
    // range.
    void insert(int pos, const QString& line);
    // Replaces line `pos` (1..count()).
    void replace(int pos, const QString& line);
    // Removes the lines first..last (1 <= first <= last <= count()); the lines after them move up.
    void remove(int first, int last);

    // Calls `visit` with each line number and line from `from` on until it returns true.
    void scan(int from, const std::function<bool(int, const QString&)>& visit) const;

    // The first line beginning with "[" + section + "]" (letter case ignored), 0 when there is none.
    int sectionLine(const QString& section) const;

    struct KeyFind {
        int line;   // the line beginning with key + "=", or the next section's header, or 0
        bool found; // line holds the key
    };
    // Searches the lines below the header at `header` up to the next header for the first one beginning with
    // key + "=" (letter case ignored); `key` holds no "=". line is 0 when the search ran through the end.
    KeyFind findKey(int header, const QString& key) const;
    // The line of the next header below `header`, 0 when there is none.
    int nextHeader(int header) const;

private:
    struct Block {
        std::deque<QString> lines;
        mutable QHash<QString, int> keys; // folded key name -> number of body lines holding it
        mutable bool indexed = false;
        mutable int scans = 0; // look-ups answered by a scan; the index pays off from the second one
    };
    struct Place {
        std::size_t block;
        std::size_t offset;
        int first; // line number of the block's first line
    };

    static bool IsHeader(const QString& line) { return line.startsWith(u'['); }
    static std::size_t BodyStart(std::size_t block) { return block == 0 ? 0 : 1; }
    Place locate(int pos) const;
    void indexAdd(std::size_t block, const QString& line, int delta) const;
    void buildIndex(std::size_t block) const;
    void appendToBlock(std::size_t block, const QString& line);

    std::vector<Block> blocks_;
    int count_ = 0;
};

// The letter-case-free form of a name, code point by code point as Qt's case-insensitive comparison folds.
QString FoldName(const QString& name);

} // namespace bdlogic
