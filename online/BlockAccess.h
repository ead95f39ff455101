#pragma once

#include "link/Outcome.h"
#include "platform/Control.h"

#include <QByteArray>

class Controls;
class Link;

// Reading and writing transponder blocks through the handheld, as text or as hexadecimal data.
//
// The fields are sent exactly as typed; a field counts as empty only when it holds no character
// at all. The hex commands refuse a missing block number, and the hex write data that are empty
// or of odd length, with a message and nothing sent (InvalidInput). Every click empties the log
// first, also when a check then refuses. A write that fails (the port has gone) ends the action
// silently: PortLost or PortFailure. Done once the line went out.
class BlockAccess {
public:
    BlockAccess(Link& link, Controls& controls) : m_link(link), m_controls(controls) {}

    Outcome readBlock();     // "Read text block": READ [from [to]]
    Outcome readBlockHex();  // "Read Hex": BINREAD from [key]
    Outcome writeBlock();    // "Write text block": WRITE from "content"
    Outcome writeBlockHex(); // "Write Hex": BINWRITE from data [key]

private:
    Outcome send(const QByteArray& line);
    QByteArray field(Control control) const;
    bool blockChosen();

    Link& m_link;
    Controls& m_controls;
};
