#include "app/HandlerSet.h"

#include "platform/Controls.h"

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

void HandlerSet::onSend(Controls& controls, const char* button, std::function<void()> handler) {
    controls.onPressed(button, [this, handler = std::move(handler)] {
        run([&] {
            if (!download.refuseWhileTransferring())
                handler();
        });
    });
}

void HandlerSet::wire(Controls& controls) {
    // The toggle's handler runs on every change of its state, the tool's own included.
    controls.onChanged("Connect",
                       [this](bool) { run([this] { m_toggled = connectToggle.toggled(); }); });
    // The coupling follows the operator's changes only: the tool's own change, as it shows a
    // reported value, leaves the field alone.
    controls.onOperatorChanged("Check_Offtime", [this](bool checked) {
        run([this, checked] { config.offBoxChanged(checked); });
    });

    onSend(controls, "SetzeZeit", [this] { configCommands.setTime(); });
    onSend(controls, "TagSetzen", [this] { configCommands.setTagType(); });
    onSend(controls, "OfftimeSetzen", [this] { configCommands.setSwitchOffTime(); });
    onSend(controls, "ReadtimeoutSetzen", [this] { configCommands.setTimeouts(); });
    onSend(controls, "FdxcodeSetzen", [this] { configCommands.setFdxCode(); });
    onSend(controls, "EnBeeperSetzen", [this] { configCommands.setFeatures(); });
    onSend(controls, "BetriebsartSetzen", [this] { configCommands.setMode(); });
    onSend(controls, "SpracheSetzen", [this] { configCommands.setLanguage(); });
    onSend(controls, "SetSnr", [this] { configCommands.setSerialNumber(); });

    onSend(controls, "ReadId", [this] { identification.readId(); });
    onSend(controls, "Scan", [this] { identification.scanBarcode(); });
    onSend(controls, "ReadBlock", [this] { blocks.readBlock(); });
    onSend(controls, "ReadBlockHex", [this] { blocks.readBlockHex(); });
    onSend(controls, "WriteBlock", [this] { blocks.writeBlock(); });
    onSend(controls, "WriteBlockHex", [this] { blocks.writeBlockHex(); });

    onSend(controls, "Buzzer", [this] { peripherals.buzzer(); });
    onSend(controls, "Keyboard", [this] { peripherals.keyboard(); });
    onSend(controls, "CLS", [this] { peripherals.clearDisplay(); });
    onSend(controls, "Display", [this] { peripherals.showText(); });

    onSend(controls, "LeseErfassungen", [this] { download.start(); });
    onSend(controls, "GeneriereDaten", [this] { upload.start(); });
    onSend(controls, "LoescheErfassungen", [this] { memory.eraseRecords(); });
    onSend(controls, "LoescheDaten", [this] { memory.eraseSelections(); });
    onSend(controls, "LeseDaten", [this] { memory.readOutSelections(); });
    onSend(controls, "Statistik", [this] { memory.showStatistics(); });
    controls.onPressed("PfadSpeichernWaehlen", [this] { run([this] { paths.chooseSavePath(); }); });
    controls.onPressed("PfadLadenWaehlen", [this] { run([this] { paths.chooseLoadPath(); }); });
}
