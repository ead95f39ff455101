#pragma once

#include "platform/Control.h"

#include <QByteArray>

class Controls;
class Link;

// Reading and writing transponder blocks through the handheld, as text or as hexadecimal data.
//
// The fields are sent exactly as typed; a field counts as empty only when it holds no character
// at all. The hex commands refuse a missing block number, and the hex write data that are empty
// or of odd length, with a message and nothing sent. Every click empties the log first, also
// when a check then refuses. A write that fails (the port has gone) ends the action silently.
class BlockAccess {
public:
    BlockAccess(Link& link, Controls& controls) : m_link(link), m_controls(controls) {}

    void readBlock();     // "Read text block": READ [from [to]]
    void readBlockHex();  // "Read Hex": BINREAD from [key]
    void writeBlock();    // "Write text block": WRITE from "content"
    void writeBlockHex(); // "Write Hex": BINWRITE from data [key]

private:
    QByteArray field(Control control) const;
    bool blockChosen();

    Link& m_link;
    Controls& m_controls;
};
