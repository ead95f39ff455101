#pragma once

#include "config/ConfigValues.h"
#include "link/Outcome.h"
#include "link/ReplyHandlers.h"

class Controls;
class Link;

// The status query chain that fills the window after a connect: each status reply is decoded
// into its control, then, 100 ms later, the next query goes out; the serial number ends the
// chain and sets the reply mode back to Idle.
//
// A value the control cannot show (a list position beyond the list, a battery level above 100)
// leaves the control as it was and the chain goes on; a position that does not fit 16 bits
// stops the chain with a message, and status lines that follow are only logged. A reply that
// never comes leaves the chain waiting.
class StatusChain final : public StatusReplyHandler {
public:
    StatusChain(Link& link, Controls& controls)
        : m_link(link), m_controls(controls), m_values(controls) {}

    // Starts the chain: the replies go to it, and its first query goes out. The handshake does
    // it once the handheld has answered. Done once the query went out; PortLost or PortFailure,
    // silently, when it could not be written.
    static Outcome start(Link& link);

    HandlerResult handleStatusReply(StatusReply reply, const QByteArray& line) override;

    // The chain of the latest connect stopped at a reply it could not take; it goes on no more.
    bool stoppedShort() const { return m_stoppedShort; }

private:
    HandlerResult decode(StatusReply reply, const QByteArray& value);
    // Selects the item that stands for the reported number; fails when the number does not fit
    // a 16-bit list position.
    HandlerResult selectReported(ConfigValues::List list, const QByteArray& value);

    Link& m_link;
    Controls& m_controls;
    ConfigValues m_values;
    bool m_stoppedShort = false;
};
