#include "app/HandlerSet.h"

#include "platform/Controls.h"
#include "platform/SerialPort.h"

HandlerSet::HandlerSet(const Platform& p)
    : link(p.port, p.view, p.boxes, p.sleeper, p.clock, p.post), config(p.controls),
      lifecycle(p.controls, link, dataFile, p.settings, config), statusChain(link, p.controls),
      connectToggle(link, p.controls, dataFile), configCommands(link, p.controls, p.clock),
      identification(link, p.controls), blocks(link, p.controls), peripherals(link, p.controls),
      download(link, p.controls, dataFile, p.clock, p.progress),
      upload(link, p.controls, dataFile, p.progress), memory(link, p.controls),
      paths(p.controls, p.dialogs) {
    link.dispatcher().attach(&statusChain);
    link.dispatcher().attach(&identification);
    link.dispatcher().attach(&download);
    link.setLossReport([this](const QString& why) {
        if (m_lossObserver)
            m_lossObserver();
        connectToggle.portLost(why, {download.abandon()});
    });
    wire(p.controls);
}

void HandlerSet::timerTick() {
    link.gate().deliver(
        [this] {
            configCommands.showPcTime();
            download.checkStall();
        },
        this);
}

void HandlerSet::onSend(Controls& controls, Control button, std::function<Outcome()> handler) {
    controls.onPressed(button, [this, handler = std::move(handler)] {
        run([&] {
            if (!download.refuseWhileTransferring())
                m_pressed = handler();
        });
    });
}

void HandlerSet::wire(Controls& controls) {
    // The toggle's handler runs on every change of its state, the tool's own included.
    controls.onChanged(Control::Connect, [this](bool checked) {
        run([this, checked] {
            m_toggled = connectToggle.toggled();
            if (checked && m_toggled == Outcome::Done && link.port().isOpen())
                lifecycle.noteConnected();
        });
    });
    // The coupling follows the operator's changes only: the tool's own change, as it shows a
    // reported value, leaves the field alone.
    controls.onOperatorChanged(Control::Check_Offtime, [this](bool checked) {
        run([this, checked] { config.offBoxChanged(checked); });
    });

    onSend(controls, Control::SetzeZeit, [this] { return configCommands.setTime(); });
    onSend(controls, Control::TagSetzen, [this] { return configCommands.setTagType(); });
    onSend(controls, Control::OfftimeSetzen, [this] { return configCommands.setSwitchOffTime(); });
    onSend(controls, Control::ReadtimeoutSetzen, [this] { return configCommands.setTimeouts(); });
    onSend(controls, Control::FdxcodeSetzen, [this] { return configCommands.setFdxCode(); });
    onSend(controls, Control::EnBeeperSetzen, [this] { return configCommands.setFeatures(); });
    onSend(controls, Control::BetriebsartSetzen, [this] { return configCommands.setMode(); });
    onSend(controls, Control::SpracheSetzen, [this] { return configCommands.setLanguage(); });
    onSend(controls, Control::SetSnr, [this] { return configCommands.setSerialNumber(); });

    onSend(controls, Control::ReadId, [this] { return identification.readId(); });
    onSend(controls, Control::Scan, [this] { return identification.scanBarcode(); });
    onSend(controls, Control::ReadBlock, [this] { return blocks.readBlock(); });
    onSend(controls, Control::ReadBlockHex, [this] { return blocks.readBlockHex(); });
    onSend(controls, Control::WriteBlock, [this] { return blocks.writeBlock(); });
    onSend(controls, Control::WriteBlockHex, [this] { return blocks.writeBlockHex(); });

    onSend(controls, Control::Buzzer, [this] { return peripherals.buzzer(); });
    onSend(controls, Control::Keyboard, [this] { return peripherals.keyboard(); });
    onSend(controls, Control::CLS, [this] { return peripherals.clearDisplay(); });
    onSend(controls, Control::Display, [this] { return peripherals.showText(); });

    onSend(controls, Control::LeseErfassungen, [this] { return download.start(); });
    onSend(controls, Control::GeneriereDaten, [this] { return upload.start(); });
    onSend(controls, Control::LoescheErfassungen, [this] { return memory.eraseRecords(); });
    onSend(controls, Control::LoescheDaten, [this] { return memory.eraseSelections(); });
    onSend(controls, Control::LeseDaten, [this] { return memory.readOutSelections(); });
    onSend(controls, Control::Statistik, [this] { return memory.showStatistics().outcome; });
    controls.onPressed(Control::PfadSpeichernWaehlen,
                       [this] { run([this] { paths.chooseSavePath(); }); });
    controls.onPressed(Control::PfadLadenWaehlen,
                       [this] { run([this] { paths.chooseLoadPath(); }); });
}
