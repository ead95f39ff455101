#pragma once

#include "platform/Control.h"

#include <QByteArray>
#include <QStringList>

class Controls;

// The configuration page's values as they live in the window's controls: the five choice lists
// with their items, how a number the handheld reports selects an item, the two feature check
// boxes, and the switch-off time with its "off" box.
//
// Every item text begins with the number the handheld reports and receives, then " - " and a
// caption. Tagtyp, Order and Sprache number their items from 0, FDXCode and Betriebsart from 1.
class ConfigValues {
public:
    enum class List { Betriebsart, Order, Tagtyp, FdxCode, Sprache };
    enum class Feature { Beeper, Gps };

    explicit ConfigValues(Controls& controls) : m_controls(controls) {}

    // The five lists in the order the window fills them.
    static constexpr List kLists[] = {List::Betriebsart, List::Order, List::Tagtyp, List::FdxCode,
                                      List::Sprache};

    static Control control(List list);
    static QStringList items(List list);
    // The number the first item stands for: 0 or 1.
    static int firstNumber(List list);

    // Appends every list's items, in the order of kLists. Selects nothing: each list shows an
    // empty text until a status reply or the operator chooses an item.
    void fillLists();

    // Selects the item that stands for a reported number. The number just below the first
    // item's (0 for FDXCode) clears the selection. False, and no change, when no item stands
    // for the number and it is not that one.
    bool selectReported(List list, int number);

    // A reported feature flag: any number other than 0 checks the box, 0 clears it.
    void setCheckValue(Feature feature, double number);

    // A reported switch-off time, the value text exactly as received. A text that begins with
    // the digit 0 means the automatic switch-off is disabled: the "off" box checked, the field
    // disabled and showing "aus". Anything else clears the box and shows the text in the enabled
    // field. The box is set by the tool here, which does not run the operator's coupling.
    void showSwitchOffTime(const QByteArray& value);

    // The operator changed the "off" box, by mouse, keyboard or assistive technology: checked
    // gives "aus" in a disabled field, cleared gives "0" in an enabled one. The number that stood
    // in the field before is dropped.
    void offBoxChanged(bool checked);

private:
    Controls& m_controls;
};
