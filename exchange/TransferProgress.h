#pragma once

#include <QString>

// Shows how far a long transfer has come while the window thread is busy with it: records
// received of records announced, or the selection being sent of the file's total. The first and
// the last report of a transfer are painted at once; reports in between may be combined when they
// come faster than anyone can read them.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    virtual void show(const QString& what, qint64 done, qint64 total) = 0;
    virtual void hide() = 0;
};
