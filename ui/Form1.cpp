#include "ui/Form1.h"

#include "platform/PortMap.h"
#include "ui/ConfigPage.h"
#include "ui/ControlPage.h"
#include "ui/ExchangePage.h"
#include "ui/OnlinePage.h"
#include "ui/PaintNow.h"
#include "ui/PortBox.h"
#include "ui/ProgressStrip.h"
#include "ui/TopStrip.h"
#include "ui/TrafficLog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

// Resources of a static library must be registered by name, outside any namespace.
static void initResources() {
    Q_INIT_RESOURCE(quorvelino);
}

namespace {

QIcon toolIcon() {
    QIcon icon;
    for (const int size : {16, 32, 64})
        icon.addFile(QStringLiteral(":/quorvelino/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent), m_pacer(m_frameTimer, m_clock, [this] { PaintNow::changes(*this); }) {
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(caption());
    setWindowIcon(toolIcon());

    m_top = new TopStrip(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Tabulator"));
    m_tabs->setAccessibleName(QStringLiteral("Pages"));
    m_online = new OnlinePage(m_tabs);
    m_control = new ControlPage(m_tabs);
    m_config = new ConfigPage(m_tabs);
    m_exchange = new ExchangePage(m_tabs);
    m_tabs->addTab(m_online, QStringLiteral("Online"));
    m_tabs->addTab(m_control, QStringLiteral("Control"));
    m_tabs->addTab(m_config, QStringLiteral("Configuration"));
    m_tabs->addTab(m_exchange, QStringLiteral("Data exchange"));
    // Each page is named by its tab.
    for (int page = 0; page < m_tabs->count(); ++page)
        m_tabs->widget(page)->setAccessibleName(m_tabs->tabText(page));
    // Only the frames are disabled: the tabs stay usable, and so do `Port` and `Connect`.
    for (QWidget* frame : {static_cast<QWidget*>(m_online), static_cast<QWidget*>(m_control),
                           static_cast<QWidget*>(m_config), static_cast<QWidget*>(m_exchange)})
        frame->setEnabled(false);

    m_log = new TrafficLog(m_pacer, this);
    m_log->setZeileField(&m_top->zeile());
    m_log->setMinimumHeight(110);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_top);
    layout->addWidget(m_tabs);
    layout->addWidget(m_log, 1);
    m_progress = new ProgressStrip(m_pacer, this);
    layout->addWidget(m_progress);

    connect(&m_top->port(), &QComboBox::currentIndexChanged, this, [this](int index) {
        PortBox& box = port();
        box.setToolTip(index >= 0 ? box.itemData(index, Qt::ToolTipRole).toString() : QString());
    });

    setFocusOrder();
    describeNamedControls();
}

PortBox& Form1::port() const {
    return m_top->port();
}

QPushButton& Form1::connectButton() const {
    return m_top->connectButton();
}

QAbstractButton& Form1::checkOfftime() const {
    return m_config->checkOfftime();
}

QAbstractButton& Form1::button(const char* name) const {
    auto* found = findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!found)
        qFatal("Form1 has no button named %s", name);
    return *found;
}

void Form1::setPortToolTips(const PortMap& map) {
    PortBox& box = port();
    const QStringList present = PortMap::presentDevices();
    for (int index = 0; index < box.count(); ++index) {
        const int number = index + 1;
        const QString device = map.deviceFor(number, present);
        const QString name = QStringLiteral("COM%1").arg(number);
        // On Windows a port is its own device, named once.
        const QString named = device == name ? name : name + QStringLiteral(": ") + device;
        QString tip;
        if (device.isEmpty())
            tip = name + QStringLiteral(": no serial device stands for this number");
        else if (present.contains(device) || QFileInfo::exists(device))
            tip = named + QStringLiteral(" (present)");
        else
            tip = named + QStringLiteral(" (not present)");
        box.setItemData(index, tip, Qt::ToolTipRole);
    }
    const int current = box.currentIndex();
    box.setToolTip(current >= 0 ? box.itemData(current, Qt::ToolTipRole).toString() : QString());
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        emit closing();
    }
    event->accept();
}

void Form1::setFocusOrder() {
    QList<QWidget*> order = m_top->focusOrder();
    order << m_tabs;
    order << m_online->focusOrder() << m_control->focusOrder() << m_config->focusOrder()
          << m_exchange->focusOrder();
    order << m_log;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
}

// Qt does not publish object names to the accessibility bus; GUI automation and screen reader
// scripts find a control by its description instead. Qt's own inner widgets ("qt_...") and
// unnamed containers are left alone.
void Form1::describeNamedControls() {
    setAccessibleDescription(objectName());
    const auto children = findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            child->setAccessibleDescription(name);
    }
}
