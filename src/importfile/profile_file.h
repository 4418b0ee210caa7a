// The sectioned key-value file engine that stores the import files one key at a time.
//
// It holds one file at a time as a table of lines; a write loads the file when another one (or none) is held,
// and changes stored with deferSave stay in memory until the next write without it, which saves the whole
// table and forgets it. Relative file names lie in WindowsDirectory(). Files are text in the code page that
// the environment names when the engine is made.
#pragma once

#include "code_page.h"
#include "line_table.h"

#include <QString>
#include <QStringList>

#include <utility>

namespace bdlogic {

class ProfileFile {
public:
    // Stores key=value in the section, below its header when the key is new, in the key's own line otherwise.
    // Returns true when the write was refused because the section or the key name is not valid.
    bool ProfileWriteKey(const QString& section, const QString& key, const QString& value,
                         const QString& file, bool deferSave);
    // Removes the section with all its lines and saves; a missing section leaves the file held and unsaved.
    void ProfileDeleteSection(const QString& section, const QString& file);
    // Stores a key in a file of 31000 bytes or more by editing the whole text; smaller or missing files go to
    // ProfileWriteKey. Returns 0 on success.
    int ProfileWriteKeyLarge(const QString& section, const QString& key, const QString& value,
                             const QString& file);

    void ProfileLoad(const QString& file);
    void ProfileSave(const QString& file);
    void ProfileReset();

    // Searches from line position + 1 for a line beginning with `text` (letter case ignored), stopping
    // without success at a header when stopAtSection is set. position becomes the line where the search
    // stopped, or the line count + 1; a search that ran through the end appends one empty line.
    bool ProfileFindLine(int& position, const QString& text, bool stopAtSection);
    // Inserts `text` at `position`; 0 appends it and sets position to the new last line.
    void ProfileInsertLine(const QString& text, int& position);
    // Removes lines first..last (last 0 = first); a range outside the table changes nothing.
    void ProfileDeleteLines(int first, int last = 0);
    int ProfileLineCount() const { return table_.count(); }
    static bool ProfileValidName(const QString& name);

    const QString& heldFile() const { return held_; }
    QStringList lines() const;

    // Saves of `file` rewrite it in place instead of replacing it by a new file, so that it stays the same
    // file: for the export run's work file, which only this program reads. Empty for none.
    void setSaveInPlace(const QString& file) { inPlace_ = file; }
    // The system's reason why the first failed save since the last call failed; empty when all saves
    // succeeded.
    QString takeSaveError() { return std::exchange(saveError_, QString()); }

private:
    // The searches of the write and delete operations, with the same results and the same appended empty line
    // as ProfileFindLine, but without scanning the file.
    bool findSection(int& position, const QString& section);
    bool findKey(int& position, const QString& key);
    void findNextSection(int& position);
    // Puts the bytes on disk as `file`; remembers the reason of the first failure.
    bool store(const QString& file, const QByteArray& bytes);

    LineTable table_;
    QString held_;
    CodePage codePage_;
    bool byteOrderMark_ = false; // the held file begins with one
    QString inPlace_;
    QString saveError_;
};

} // namespace bdlogic
