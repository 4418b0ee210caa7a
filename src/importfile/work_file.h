// The hidden file that an export run writes before the host may see it.
//
// It lies beside the import file's final name, as "." + that name + "." + a random tag + ".part", so the host
// does not pick it up, and it is held (locked, outside Windows) for as long as its run lives. commit() gives
// it the final name in one rename. A run that dies leaves only such hidden files; the next run removes them,
// but never the file of a run that is still at work, whose lock it cannot get.
#pragma once

#include <QFile>
#include <QString>

namespace bdlogic {

class WorkFile {
public:
    // Removes what dead runs left in the directory of `finalPath`, then creates the work file there, holding
    // a copy of an existing file of the final name. error() is empty when that worked.
    explicit WorkFile(const QString& finalPath);
    // Removes the work file unless it was committed.
    ~WorkFile();
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    const QString& path() const { return path_; }
    const QString& error() const { return error_; }
    bool isEmpty() const { return held_.size() == 0; }
    // Gives the work file the final name, in place of a file of that name. False, with error() set, when that
    // fails.
    bool commit();

private:
    bool create(const QString& dir, const QString& name);
    bool takeOver();

    QString final_;
    QString path_;
    QString error_;
    QFile held_;
    bool committed_ = false;
};

} // namespace bdlogic
