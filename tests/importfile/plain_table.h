// The profile engine's rules on a plain list of lines, every search a scan: what the indexed engine must
// match.
#pragma once

#include <QStringList>

#include <algorithm>

namespace bdlogic::test {

// The rules of the engine without any index: every search is a scan.
struct PlainTable {
    QStringList lines;

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
    void writeKey(const QString& section, const QString& key, const QString& value) {
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
    }
    void insert(const QString& text, int position) {
        if (position == 0)
            lines.append(text);
        else if (position < 0 || position > lines.size() + 1)
            lines.append(QString());
        else
            lines.insert(position - 1, text);
    }
    void remove(int first, int last) {
        if (last == 0) last = first;
        if (first < 1 || last < first || last > lines.size()) return;
        lines.remove(first - 1, last - first + 1);
    }
};

} // namespace bdlogic::test
