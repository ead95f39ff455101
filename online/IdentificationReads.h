#pragma once

#include "link/Outcome.h"
#include "link/ReplyHandlers.h"

class Controls;
class Link;

// "Read ID" and "Scan barcode", and the result they wait for.
//
// A click empties the log, sets the reply mode to IdRead and writes its command; the first
// non-empty line that arrives in that mode is the result, shown unparsed in `IDAnzeige`. While
// "read continously" is ticked every result is followed, 500 ms later, by a new "READID". A click
// gives Done once its command went out; a failed write ends it silently: PortLost or
// PortFailure.
class IdentificationReads final : public IdResultHandler {
public:
    IdentificationReads(Link& link, Controls& controls) : m_link(link), m_controls(controls) {}

    Outcome readId();      // "Read ID"
    Outcome scanBarcode(); // "Scan barcode"

    HandlerResult handleIdResult(const QByteArray& line) override;

private:
    static constexpr int kRepeatPauseMs = 500;

    Outcome request(const QByteArray& command);

    Link& m_link;
    Controls& m_controls;
};
