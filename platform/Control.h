#pragma once

#include <array>
#include <cstddef>

// The window's controls that the handlers read, change and are wired to, each named as it is
// named in the window (its object name, by which GUI automation finds it too).
enum class Control {
    // the top strip, always usable
    Port,
    Connect,
    Version,
    SNR,
    akku,
    Zeile,
    // "Online"
    FrameOnline,
    ReadId,
    Scan,
    IDAnzeige,
    ReadCont,
    ReadBlock,
    ReadBlockHex,
    WriteBlock,
    WriteBlockHex,
    BlockAdress,
    BlockEndAdress,
    Key,
    WriteData,
    // "Controls"
    FrameControls,
    Buzzer,
    Keyboard,
    CLS,
    Display,
    DisplayZeile,
    DisplayText,
    // "Configuration"
    FrameConfig,
    Zeit,
    SetzeZeit,
    Tagtyp,
    TagSetzen,
    Offtime,
    Check_Offtime,
    OfftimeSetzen,
    Readtimeout,
    gpstimeout,
    ReadtimeoutSetzen,
    FDXCode,
    FdxcodeSetzen,
    EnBeeper,
    EnGPS,
    EnBeeperSetzen,
    Betriebsart,
    Order,
    BetriebsartSetzen,
    Sprache,
    SpracheSetzen,
    SetSnr,
    // "Data exchange"
    FrameUebertragen,
    LeseErfassungen,
    PfadSpeichern,
    PfadSpeichernWaehlen,
    GeneriereDaten,
    PfadLaden,
    PfadLadenWaehlen,
    LoescheErfassungen,
    LoescheDaten,
    LeseDaten,
    Statistik,
    OutStatistik,
};

// Every control, in the order above.
inline constexpr std::array<Control, 60> kAllControls = {
    Control::Port,
    Control::Connect,
    Control::Version,
    Control::SNR,
    Control::akku,
    Control::Zeile,
    Control::FrameOnline,
    Control::ReadId,
    Control::Scan,
    Control::IDAnzeige,
    Control::ReadCont,
    Control::ReadBlock,
    Control::ReadBlockHex,
    Control::WriteBlock,
    Control::WriteBlockHex,
    Control::BlockAdress,
    Control::BlockEndAdress,
    Control::Key,
    Control::WriteData,
    Control::FrameControls,
    Control::Buzzer,
    Control::Keyboard,
    Control::CLS,
    Control::Display,
    Control::DisplayZeile,
    Control::DisplayText,
    Control::FrameConfig,
    Control::Zeit,
    Control::SetzeZeit,
    Control::Tagtyp,
    Control::TagSetzen,
    Control::Offtime,
    Control::Check_Offtime,
    Control::OfftimeSetzen,
    Control::Readtimeout,
    Control::gpstimeout,
    Control::ReadtimeoutSetzen,
    Control::FDXCode,
    Control::FdxcodeSetzen,
    Control::EnBeeper,
    Control::EnGPS,
    Control::EnBeeperSetzen,
    Control::Betriebsart,
    Control::Order,
    Control::BetriebsartSetzen,
    Control::Sprache,
    Control::SpracheSetzen,
    Control::SetSnr,
    Control::FrameUebertragen,
    Control::LeseErfassungen,
    Control::PfadSpeichern,
    Control::PfadSpeichernWaehlen,
    Control::GeneriereDaten,
    Control::PfadLaden,
    Control::PfadLadenWaehlen,
    Control::LoescheErfassungen,
    Control::LoescheDaten,
    Control::LeseDaten,
    Control::Statistik,
    Control::OutStatistik,
};

// The control's object name in the window: the enumerator's own name.
constexpr const char* objectName(Control control) {
    switch (control) {
    case Control::Port:
        return "Port";
    case Control::Connect:
        return "Connect";
    case Control::Version:
        return "Version";
    case Control::SNR:
        return "SNR";
    case Control::akku:
        return "akku";
    case Control::Zeile:
        return "Zeile";
    case Control::FrameOnline:
        return "FrameOnline";
    case Control::ReadId:
        return "ReadId";
    case Control::Scan:
        return "Scan";
    case Control::IDAnzeige:
        return "IDAnzeige";
    case Control::ReadCont:
        return "ReadCont";
    case Control::ReadBlock:
        return "ReadBlock";
    case Control::ReadBlockHex:
        return "ReadBlockHex";
    case Control::WriteBlock:
        return "WriteBlock";
    case Control::WriteBlockHex:
        return "WriteBlockHex";
    case Control::BlockAdress:
        return "BlockAdress";
    case Control::BlockEndAdress:
        return "BlockEndAdress";
    case Control::Key:
        return "Key";
    case Control::WriteData:
        return "WriteData";
    case Control::FrameControls:
        return "FrameControls";
    case Control::Buzzer:
        return "Buzzer";
    case Control::Keyboard:
        return "Keyboard";
    case Control::CLS:
        return "CLS";
    case Control::Display:
        return "Display";
    case Control::DisplayZeile:
        return "DisplayZeile";
    case Control::DisplayText:
        return "DisplayText";
    case Control::FrameConfig:
        return "FrameConfig";
    case Control::Zeit:
        return "Zeit";
    case Control::SetzeZeit:
        return "SetzeZeit";
    case Control::Tagtyp:
        return "Tagtyp";
    case Control::TagSetzen:
        return "TagSetzen";
    case Control::Offtime:
        return "Offtime";
    case Control::Check_Offtime:
        return "Check_Offtime";
    case Control::OfftimeSetzen:
        return "OfftimeSetzen";
    case Control::Readtimeout:
        return "Readtimeout";
    case Control::gpstimeout:
        return "gpstimeout";
    case Control::ReadtimeoutSetzen:
        return "ReadtimeoutSetzen";
    case Control::FDXCode:
        return "FDXCode";
    case Control::FdxcodeSetzen:
        return "FdxcodeSetzen";
    case Control::EnBeeper:
        return "EnBeeper";
    case Control::EnGPS:
        return "EnGPS";
    case Control::EnBeeperSetzen:
        return "EnBeeperSetzen";
    case Control::Betriebsart:
        return "Betriebsart";
    case Control::Order:
        return "Order";
    case Control::BetriebsartSetzen:
        return "BetriebsartSetzen";
    case Control::Sprache:
        return "Sprache";
    case Control::SpracheSetzen:
        return "SpracheSetzen";
    case Control::SetSnr:
        return "SetSnr";
    case Control::FrameUebertragen:
        return "FrameUebertragen";
    case Control::LeseErfassungen:
        return "LeseErfassungen";
    case Control::PfadSpeichern:
        return "PfadSpeichern";
    case Control::PfadSpeichernWaehlen:
        return "PfadSpeichernWaehlen";
    case Control::GeneriereDaten:
        return "GeneriereDaten";
    case Control::PfadLaden:
        return "PfadLaden";
    case Control::PfadLadenWaehlen:
        return "PfadLadenWaehlen";
    case Control::LoescheErfassungen:
        return "LoescheErfassungen";
    case Control::LoescheDaten:
        return "LoescheDaten";
    case Control::LeseDaten:
        return "LeseDaten";
    case Control::Statistik:
        return "Statistik";
    case Control::OutStatistik:
        return "OutStatistik";
    }
    return "";
}
