#pragma once

#include <array>
#include <cstddef>

// The window's controls that the handlers read, change and are wired to, each named as it is
// named in the window (its object name, by which GUI automation finds it too), with its kind.
//
// This one list makes the enumeration, kAllControls, the object names and the kinds; nothing else
// lists the controls. X(name, kind), in the window's order.
// clang-format off
#define QV_CONTROLS(X)                                                                             \
    /* the top strip, always usable */                                                             \
    X(Port, List) X(Connect, Check) X(Version, Text) X(SNR, Text) X(akku, Value) X(Zeile, Text)   \
    /* "Online" */                                                                                 \
    X(FrameOnline, Frame) X(ReadId, Button) X(Scan, Button) X(IDAnzeige, Text)                     \
    X(ReadCont, Check) X(ReadBlock, Button) X(ReadBlockHex, Button) X(WriteBlock, Button)          \
    X(WriteBlockHex, Button) X(BlockAdress, Text) X(BlockEndAdress, Text) X(Key, Text)             \
    X(WriteData, Text)                                                                             \
    /* "Controls" */                                                                               \
    X(FrameControls, Frame) X(Buzzer, Button) X(Keyboard, Button) X(CLS, Button)                   \
    X(Display, Button) X(DisplayZeile, EditableList) X(DisplayText, Text)                          \
    /* "Configuration" */                                                                          \
    X(FrameConfig, Frame) X(Zeit, Text) X(SetzeZeit, Button) X(Tagtyp, List) X(TagSetzen, Button)  \
    X(Offtime, Text) X(Check_Offtime, Check) X(OfftimeSetzen, Button) X(Readtimeout, Text)         \
    X(gpstimeout, Text) X(ReadtimeoutSetzen, Button) X(FDXCode, EditableList)                      \
    X(FdxcodeSetzen, Button) X(EnBeeper, Check) X(EnGPS, Check) X(EnBeeperSetzen, Button)          \
    X(Betriebsart, EditableList) X(Order, EditableList) X(BetriebsartSetzen, Button)               \
    X(Sprache, EditableList) X(SpracheSetzen, Button) X(SetSnr, Button)                            \
    /* "Data exchange" */                                                                          \
    X(FrameUebertragen, Frame) X(LeseErfassungen, Button) X(PfadSpeichern, Text)                   \
    X(PfadSpeichernWaehlen, Button) X(GeneriereDaten, Button) X(PfadLaden, Text)                   \
    X(PfadLadenWaehlen, Button) X(LoescheErfassungen, Button) X(LoescheDaten, Button)              \
    X(LeseDaten, Button) X(Statistik, Button) X(OutStatistik, Text)
// clang-format on

#define QV_CONTROL_ENUMERATOR(name, kind) name,
enum class Control { QV_CONTROLS(QV_CONTROL_ENUMERATOR) };
#undef QV_CONTROL_ENUMERATOR

// What a control is in the window, which decides what its text is: a text box (or label) shows
// what is set; a drop-down list shows one of its items or nothing; an editable one shows what is
// set or typed; a check box or toggle, a button and a frame show their caption; the battery bar
// holds a value.
enum class ControlKind { Text, List, EditableList, Check, Button, Value, Frame };

// Every control, in the order above.
#define QV_CONTROL_ITEM(name, kind) Control::name,
inline constexpr auto kAllControls = std::to_array<Control>({QV_CONTROLS(QV_CONTROL_ITEM)});
#undef QV_CONTROL_ITEM

// The control's object name in the window: the enumerator's own name.
constexpr const char* objectName(Control control) {
#define QV_CONTROL_NAME(name, kind) #name,
    constexpr const char* kNames[] = {QV_CONTROLS(QV_CONTROL_NAME)};
#undef QV_CONTROL_NAME
    return kNames[static_cast<std::size_t>(control)];
}

constexpr ControlKind controlKind(Control control) {
#define QV_CONTROL_KIND(name, kind) ControlKind::kind,
    constexpr ControlKind kKinds[] = {QV_CONTROLS(QV_CONTROL_KIND)};
#undef QV_CONTROL_KIND
    return kKinds[static_cast<std::size_t>(control)];
}
