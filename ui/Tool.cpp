#include "ui/Tool.h"

#include "ui/PortBox.h"
#include "ui/ProgressStrip.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QTimer>

Tool::Tool(MessageBoxes* boxes, FileDialogs* dialogs, Sleeper* sleeper)
    : m_portMap(m_settings), m_port(m_portMap), m_qtBoxes(&m_window), m_qtDialogs(&m_window),
      m_boxes(boxes ? *boxes : m_qtBoxes, m_window.log().pacer()),
      m_dialogs(dialogs ? *dialogs : m_qtDialogs, m_window.log().pacer()),
      m_sleeper(sleeper ? *sleeper : m_clock, m_window.log().pacer()), m_controls(m_window),
      m_link(m_port, m_window.log(), m_boxes, m_sleeper, m_clock,
             [this](std::function<void()> call) { QTimer::singleShot(0, this, std::move(call)); }),
      m_config(m_controls), m_lifecycle(m_controls, m_link, m_dataFile, m_settings, m_config),
      m_statusChain(m_link, m_controls), m_connectToggle(m_link, m_controls, m_dataFile),
      m_configCommands(m_link, m_controls, m_clock), m_identification(m_link, m_controls),
      m_blocks(m_link, m_controls), m_peripherals(m_link, m_controls),
      m_download(m_link, m_controls, m_dataFile, m_clock, m_window.progress()),
      m_upload(m_link, m_controls, m_dataFile, m_window.progress()), m_memory(m_link, m_controls),
      m_paths(m_controls, m_dialogs) {
    m_link.dispatcher().attach(&m_statusChain);
    m_link.dispatcher().attach(&m_identification);
    m_link.dispatcher().attach(&m_download);
    FramePacer& pacer = m_window.log().pacer();
    m_link.setFramePending([&pacer] { return pacer.framePending(); });
    pacer.setBeforeFrame([this] { m_link.takeInputForFrame(); });
    m_port.setBeforeBlocking([&pacer] { pacer.showNow(); });
    wire();
}

Tool::~Tool() = default;

void Tool::prepareApplication() {
    qputenv("QT_XCB_NO_MITSHM", "1");
}

void Tool::start() {
    m_lifecycle.load();
    m_configCommands.showPcTime();
    m_timer1.start(500);
    m_window.setPortToolTips(m_portMap);
    m_window.show();
}

void Tool::runHandler(const std::function<void()>& handler) {
    m_link.gate().run(handler);
}

void Tool::onClick(const char* button, std::function<void()> handler) {
    connect(&m_window.button(button), &QAbstractButton::clicked, this,
            [this, handler = std::move(handler)] { runHandler(handler); });
}

void Tool::onSend(const char* button, std::function<void()> handler) {
    onClick(button, [this, handler = std::move(handler)] {
        if (!m_download.refuseWhileTransferring())
            handler();
    });
}

void Tool::wire() {
    connect(&m_window, &Form1::closing, this,
            [this] { runHandler([this] { m_lifecycle.unload(); }); });
    connect(&m_window.port(), &PortBox::popupAboutToShow, this,
            [this] { m_window.setPortToolTips(m_portMap); });

    // The coupling follows the operator's changes, whichever way they come: a click, the space
    // key and assistive technology's "Toggle" all raise toggled, and only the click raises
    // clicked. The tool's own change, as it shows a reported value, leaves the field alone.
    connect(&m_window.checkOfftime(), &QAbstractButton::toggled, this, [this](bool checked) {
        if (!m_controls.changingCheck())
            runHandler([this, checked] { m_config.offBoxChanged(checked); });
    });

    // The toggle's handler runs on every change of its state, the tool's own included.
    connect(&m_window.connectButton(), &QAbstractButton::toggled, this,
            [this] { runHandler([this] { m_connectToggle.toggled(); }); });
    m_link.setLossReport(
        [this](const QString& why) { m_connectToggle.portLost(why, {m_download.abandon()}); });
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    connect(&m_timer1, &QTimer::timeout, this, [this] {
        m_link.gate().deliver(
            [this] {
                m_configCommands.showPcTime();
                m_download.checkStall();
            },
            &m_timer1);
    });

    onSend("SetzeZeit", [this] { m_configCommands.setTime(); });
    onSend("TagSetzen", [this] { m_configCommands.setTagType(); });
    onSend("OfftimeSetzen", [this] { m_configCommands.setSwitchOffTime(); });
    onSend("ReadtimeoutSetzen", [this] { m_configCommands.setTimeouts(); });
    onSend("FdxcodeSetzen", [this] { m_configCommands.setFdxCode(); });
    onSend("EnBeeperSetzen", [this] { m_configCommands.setFeatures(); });
    onSend("BetriebsartSetzen", [this] { m_configCommands.setMode(); });
    onSend("SpracheSetzen", [this] { m_configCommands.setLanguage(); });
    onSend("SetSnr", [this] { m_configCommands.setSerialNumber(); });

    onSend("ReadId", [this] { m_identification.readId(); });
    onSend("Scan", [this] { m_identification.scanBarcode(); });
    onSend("ReadBlock", [this] { m_blocks.readBlock(); });
    onSend("ReadBlockHex", [this] { m_blocks.readBlockHex(); });
    onSend("WriteBlock", [this] { m_blocks.writeBlock(); });
    onSend("WriteBlockHex", [this] { m_blocks.writeBlockHex(); });

    onSend("Buzzer", [this] { m_peripherals.buzzer(); });
    onSend("Keyboard", [this] { m_peripherals.keyboard(); });
    onSend("CLS", [this] { m_peripherals.clearDisplay(); });
    onSend("Display", [this] { m_peripherals.showText(); });

    onSend("LeseErfassungen", [this] { m_download.start(); });
    onSend("GeneriereDaten", [this] { m_upload.start(); });
    onSend("LoescheErfassungen", [this] { m_memory.eraseRecords(); });
    onSend("LoescheDaten", [this] { m_memory.eraseSelections(); });
    onSend("LeseDaten", [this] { m_memory.readOutSelections(); });
    onSend("Statistik", [this] { m_memory.showStatistics(); });
    onClick("PfadSpeichernWaehlen", [this] { m_paths.chooseSavePath(); });
    onClick("PfadLadenWaehlen", [this] { m_paths.chooseLoadPath(); });
}
