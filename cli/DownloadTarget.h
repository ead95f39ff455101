#pragma once

#include <QString>
#include <sys/types.h>
#include <utility>

// Where the records of a download on the command line end up. The download's handler writes into
// a working file, and the target is touched only once every record has arrived: until then a good
// old file stays as it was, byte for byte, whatever ends the run.
//
// The working file is named as the partial download it may become: FILE.partial beside the target
// (FILE.partial-2, -3, ... when that name is taken), so that the handler's messages, which name
// the file it writes, stay true. For standard output ("-") and for a target that is no regular
// file (a pipe, a device), it lies in the temporary folder, and the records are copied there once
// complete. A regular target is replaced by a rename in its folder, which no crash leaves half
// done; a symbolic link is followed, so the file it points to is the one replaced.
class DownloadTarget {
public:
    // `target` as given on the command line: a path, or "-" for standard output.
    explicit DownloadTarget(QString target) : m_target(std::move(target)) {}

    // Checks the target and creates the empty working file; false with the reason (a phrase)
    // when the records could not be saved.
    bool prepare(QString* why);
    // The file the download's handler is to write.
    QString workingPath() const { return m_working; }

    struct Result {
        bool failed = false;
        QString message; // for the operator; empty when there is nothing to say
    };
    // Runs once the handler has closed the working file. complete: every record arrived (none
    // held counts too): the records take the target's place, flushed to disk, with the target's
    // mode, owner and group where the process may give them. Else the target is left alone, a
    // working file that holds records is kept and an empty one removed.
    Result settle(bool complete);
    // What a download that got no record leaves, in a sentence: nothing kept, the target as it
    // was.
    QString noneKept() const;

private:
    // How many names FILE.partial, FILE.partial-2, ... are tried before the run gives up.
    static constexpr int kNames = 1000;

    bool toStream() const { return m_destination.isEmpty(); }
    QString targetName() const;
    // Creates base.partial, or the first of base.partial-2, -3, ... that does not exist.
    bool create(const QString& base, QString* why);
    // Creates the file name, never taking over one that exists; what the system said when it
    // could not.
    enum class Creation { Created, Taken, Failed };
    Creation createNew(const QString& name, QString* systemSaid);
#ifndef Q_OS_WIN
    // The mode the records get: the target's when it is a regular file, else the usual one.
    mode_t finalMode() const;
    // Gives the open records the owner and group of the regular file they replace; true when
    // both, or the group alone, could be given.
    bool keepOwner(int fd) const;
#endif
    Result replace();
    Result pour();
    void keep();
    // why: what the system said.
    Result failure(const QString& what, const QString& why);

    QString m_target;
    QString m_destination; // the regular file replaced; empty for a stream
    QString m_working;
#ifndef Q_OS_WIN
    mode_t m_newMode = 0644; // what the umask leaves of 0666: the mode of a file created now
#endif
};
