#pragma once

#include "link/ReplyHandlers.h"
#include "tests/support/VirtualLink.h"

#include <QList>
#include <gtest/gtest.h>

// Records every line each handler is given; a handler can be told to fail on a line.
class RecordingHandlers final : public IdResultHandler,
                                public RecordLineHandler,
                                public StatusReplyHandler {
public:
    HandlerResult handleIdResult(const QByteArray& line) override { return take(ids, line); }
    HandlerResult handleRecordLine(const QByteArray& line) override { return take(records, line); }
    HandlerResult handleStatusReply(StatusReply reply, const QByteArray& line) override {
        statuses.append(reply);
        return take(statusLines, line);
    }

    QList<QByteArray> ids;
    QList<QByteArray> records;
    QList<QByteArray> statusLines;
    QList<StatusReply> statuses;
    QByteArray failOn;

private:
    HandlerResult take(QList<QByteArray>& into, const QByteArray& line) {
        if (!failOn.isEmpty() && line == failOn)
            return HandlerResult::failure(QStringLiteral("Overflow"));
        into.append(line);
        return HandlerResult::ok();
    }
};

// A link on a simulated port, its receive notification running as the event loop would.
class LinkFixture : public ::testing::Test, protected VirtualLink {
protected:
    LinkFixture() {
        port.open();
        link.dispatcher().attach(static_cast<IdResultHandler*>(&handlers));
        link.dispatcher().attach(static_cast<RecordLineHandler*>(&handlers));
        link.dispatcher().attach(static_cast<StatusReplyHandler*>(&handlers));
    }

    // Bytes arrive as one receive event, handled at once (a large piece in slices).
    void arrive(const QByteArray& bytes) {
        port.arrive(bytes);
        loop.runFor(0);
    }

    RecordingHandlers handlers;
};
