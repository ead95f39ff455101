#include "tests/link/LinkFixture.h"

namespace {

using DispatcherTest = LinkFixture;

TEST_F(DispatcherTest, StatusPrefixesNeedAValueAndExactCase) {
    link.setReplyMode(ReplyMode::StatusChain);
    arrive("TAGTYP:\r\ntagtyp:3\r\nOk\r\nTAGTYP:3\r\n");
    EXPECT_EQ(handlers.statusLines, QList<QByteArray>{"TAGTYP:3"});
    EXPECT_EQ(link.replyMode(), ReplyMode::StatusChain);
}

TEST_F(DispatcherTest, ModeChosesTheHandler) {
    link.setReplyMode(ReplyMode::IdRead);
    arrive("TAGTYP:1\r\n");
    link.setReplyMode(ReplyMode::RecordDownload);
    arrive("TAGTYP:2\r\n");
    link.setReplyMode(ReplyMode::Idle);
    arrive("TAGTYP:3\r\n");
    EXPECT_EQ(handlers.ids, QList<QByteArray>{"TAGTYP:1"});
    EXPECT_EQ(handlers.records, QList<QByteArray>{"TAGTYP:2"});
    EXPECT_TRUE(handlers.statusLines.isEmpty());
}

// A handler that changes the mode does so from the next line on.
class ModeChangingHandler final : public IdResultHandler {
public:
    explicit ModeChangingHandler(Link& link) : m_link(link) {}
    HandlerResult handleIdResult(const QByteArray& line) override {
        seen.append(line);
        m_link.setReplyMode(ReplyMode::Idle);
        return HandlerResult::ok();
    }
    QList<QByteArray> seen;

private:
    Link& m_link;
};

TEST_F(DispatcherTest, ALineReachesAtMostOneHandler) {
    ModeChangingHandler id(link);
    link.dispatcher().attach(&id);
    link.setReplyMode(ReplyMode::IdRead);
    arrive("first\r\nsecond\r\n");
    EXPECT_EQ(id.seen, QList<QByteArray>{"first"});
    EXPECT_TRUE(handlers.records.isEmpty());
    EXPECT_TRUE(handlers.statusLines.isEmpty());
}

TEST(HandlerGateTest, NotificationsWaitForTheRunningHandler) {
    QList<std::function<void()>> posted;
    HandlerGate gate([&](std::function<void()> call) { posted.append(call); });
    QStringList order;
    gate.run([&] {
        order << QStringLiteral("handler begins");
        // A modal box's nested event loop raises a receive notification here.
        gate.deliver([&] { order << QStringLiteral("receive"); });
        // The tool's own nested handler runs at once.
        gate.run([&] { order << QStringLiteral("nested"); });
        order << QStringLiteral("handler ends");
    });
    EXPECT_EQ(order, QStringList({QStringLiteral("handler begins"), QStringLiteral("nested"),
                                  QStringLiteral("handler ends")}));
    ASSERT_EQ(posted.size(), 1);
    posted.takeFirst()();
    EXPECT_EQ(order.last(), QStringLiteral("receive"));

    gate.deliver([&] { order << QStringLiteral("idle receive"); });
    EXPECT_EQ(order.last(), QStringLiteral("idle receive"));
}

TEST(HandlerGateTest, ANotificationOfAKindWaitsOnlyOnce) {
    QList<std::function<void()>> posted;
    HandlerGate gate([&](std::function<void()> call) { posted.append(call); });
    const int receiveKind = 0;
    int receives = 0;
    int lost = 0;
    gate.run([&] {
        // A flood while a modal box is open raises the receive notification again and again.
        for (int i = 0; i < 100000; ++i)
            gate.deliver([&] { ++receives; }, &receiveKind);
        gate.deliver([&] { ++lost; });
        EXPECT_EQ(gate.waiting(), 2U);
    });
    ASSERT_EQ(posted.size(), 1);
    posted.takeFirst()();
    EXPECT_EQ(receives, 1);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(gate.waiting(), 0U);
}

} // namespace
