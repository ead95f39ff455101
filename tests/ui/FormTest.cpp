#include "platform/PortMap.h"
#include "tests/support/MemorySettingsStore.h"
#include "ui/Form1.h"
#include "ui/PortBox.h"
#include "ui/TrafficLog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

template <class T> T* named(const Form1& form, const char* name) {
    const auto all = form.findChildren<T*>(QString::fromLatin1(name));
    return all.size() == 1 ? all.first() : nullptr;
}

const char* const kFrames[] = {"FrameOnline", "FrameControls", "FrameConfig", "FrameUebertragen"};

TEST(Form1, EveryControlCarriesItsNameKindCaptionAndDescription) {
    const Form1 form;
    const struct {
        const char* name;
        const char* kind;
        const char* caption; // nullptr: a control without caption
    } controls[] = {
        {"Port", "QComboBox", nullptr},
        {"Connect", "QPushButton", "Connect"},
        {"akku", "QProgressBar", nullptr},
        {"Version", "QLineEdit", nullptr},
        {"SNR", "QLineEdit", nullptr},
        {"SetSnr", "QPushButton", "Set"},
        {"Zeile", "QLineEdit", nullptr},
        {"Picture1", "QLabel", nullptr},
        {"Tabulator", "QTabWidget", nullptr},
        {"Ausgabe", "TrafficLog", nullptr},
        {"FrameOnline", "QFrame", nullptr},
        {"FrameControls", "QFrame", nullptr},
        {"FrameConfig", "QFrame", nullptr},
        {"FrameUebertragen", "QFrame", nullptr},
        {"ReadId", "QPushButton", "Read ID"},
        {"Scan", "QPushButton", "Scan barcode"},
        {"ReadBlock", "QPushButton", "Read text block"},
        {"ReadBlockHex", "QPushButton", "Read Hex"},
        {"WriteBlock", "QPushButton", "Write text block"},
        {"WriteBlockHex", "QPushButton", "Write Hex"},
        {"ReadCont", "QCheckBox", "read continously"},
        {"IDAnzeige", "QLineEdit", nullptr},
        {"BlockAdress", "QLineEdit", nullptr},
        {"BlockEndAdress", "QLineEdit", nullptr},
        {"Key", "QLineEdit", nullptr},
        {"WriteData", "QLineEdit", nullptr},
        {"Buzzer", "QPushButton", "Buzzer"},
        {"Keyboard", "QPushButton", "Keyboard"},
        {"CLS", "QPushButton", "Clear Display"},
        {"Display", "QPushButton", "Show text"},
        {"DisplayText", "QLineEdit", nullptr},
        {"DisplayZeile", "QComboBox", nullptr},
        {"Tagtyp", "QComboBox", nullptr},
        {"Betriebsart", "QComboBox", nullptr},
        {"Order", "QComboBox", nullptr},
        {"FDXCode", "QComboBox", nullptr},
        {"Sprache", "QComboBox", nullptr},
        {"Offtime", "QLineEdit", nullptr},
        {"Readtimeout", "QLineEdit", nullptr},
        {"gpstimeout", "QLineEdit", nullptr},
        {"Zeit", "QLineEdit", nullptr},
        {"Check_Offtime", "QCheckBox", "off"},
        {"EnBeeper", "QCheckBox", "Enable buzzer "},
        {"EnGPS", "QCheckBox", "GPS"},
        {"TagSetzen", "QPushButton", "Set tag type"},
        {"OfftimeSetzen", "QPushButton", "Set switch off time"},
        {"ReadtimeoutSetzen", "QPushButton", "Set timeout"},
        {"FdxcodeSetzen", "QPushButton", "Set FDX code"},
        {"EnBeeperSetzen", "QPushButton", "Set features"},
        {"BetriebsartSetzen", "QPushButton", "Set mode"},
        {"SpracheSetzen", "QPushButton", "Set language"},
        {"SetzeZeit", "QPushButton", "Set time"},
        {"LeseErfassungen", "QPushButton", "Read out records"},
        {"GeneriereDaten", "QPushButton", "Load selections"},
        {"LoescheErfassungen", "QPushButton", "Erase records"},
        {"LoescheDaten", "QPushButton", "Erase selections"},
        {"LeseDaten", "QPushButton", "Read out selections"},
        {"Statistik", "QPushButton", "Statistic"},
        {"PfadLadenWaehlen", "QPushButton", "..."},
        {"PfadSpeichernWaehlen", "QPushButton", "..."},
        {"PfadLaden", "QLineEdit", nullptr},
        {"PfadSpeichern", "QLineEdit", nullptr},
        {"OutStatistik", "QLineEdit", nullptr},
    };
    EXPECT_EQ(form.objectName(), QStringLiteral("Form1"));
    EXPECT_EQ(form.windowTitle().toLatin1(), QByteArray("Quorvelino Tool V1.04 Pelmarsh"));
    EXPECT_EQ(form.accessibleDescription(), QStringLiteral("Form1"));
    for (const auto& c : controls) {
        QWidget* widget = named<QWidget>(form, c.name);
        ASSERT_TRUE(widget) << c.name << " is missing or not unique";
        EXPECT_TRUE(widget->inherits(c.kind)) << c.name;
        EXPECT_EQ(widget->accessibleDescription(), QString::fromLatin1(c.name));
        if (c.caption) {
            EXPECT_EQ(qobject_cast<QAbstractButton*>(widget)->text().toLatin1(),
                      QByteArray(c.caption))
                << c.name;
        }
    }
}

TEST(Form1, DesignTimeValues) {
    const Form1 form;
    EXPECT_EQ(named<QLineEdit>(form, "Key")->text(), QStringLiteral("3B7D1F5A9C2E"));
    EXPECT_EQ(named<QLineEdit>(form, "WriteData")->text(), QString());
    EXPECT_EQ(named<QLineEdit>(form, "WriteData")->toolTip(), QStringLiteral("Daten als Text"));
    const auto* displayZeile = named<QComboBox>(form, "DisplayZeile");
    EXPECT_TRUE(displayZeile->isEditable());
    EXPECT_EQ(displayZeile->currentText(), QStringLiteral("1"));
    EXPECT_EQ(displayZeile->count(), 0);
    EXPECT_FALSE(named<QComboBox>(form, "Tagtyp")->isEditable());
    EXPECT_FALSE(named<QComboBox>(form, "Port")->isEditable());
    for (const char* editable : {"FDXCode", "Betriebsart", "Order", "Sprache"})
        EXPECT_TRUE(named<QComboBox>(form, editable)->isEditable()) << editable;
    const auto* akku = named<QProgressBar>(form, "akku");
    EXPECT_EQ(akku->minimum(), 0);
    EXPECT_EQ(akku->maximum(), 100);
    const auto* connect = named<QPushButton>(form, "Connect");
    EXPECT_TRUE(connect->isCheckable());
    EXPECT_FALSE(connect->isChecked());
    EXPECT_FALSE(named<QLabel>(form, "Picture1")->pixmap().isNull());
    EXPECT_EQ(named<QLabel>(form, "Picture1")->pixmap().size(), QSize(200, 36));
    EXPECT_FALSE(form.windowIcon().isNull());

    QStringList labels;
    for (const QLabel* label : form.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_EQ(labels.count(QStringLiteral("}")), 2);
    EXPECT_EQ(labels.count(QStringLiteral("s")), 2);
    EXPECT_EQ(labels.count(QStringLiteral("x 50ms")), 1);

    const TrafficLog& log = form.log();
    // Some monospaced fonts do not declare themselves fixed-pitch; measure instead.
    const QFontMetrics metrics(log.font());
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')),
              metrics.horizontalAdvance(QLatin1Char('W')));
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('.')),
              metrics.horizontalAdvance(QLatin1Char('M')));
}

TEST(Form1, FramesStayDisabledWhileTabsPortAndConnectWork) {
    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTabWidget& tabs = form.tabs();
    ASSERT_EQ(tabs.count(), 4);
    const char* const captions[] = {"Online", "Control", "Configuration", "Data exchange"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tabs.tabText(i).toLatin1(), QByteArray(captions[i]));
        EXPECT_EQ(tabs.widget(i)->objectName().toLatin1(), QByteArray(kFrames[i]));
        EXPECT_FALSE(tabs.widget(i)->isEnabled()) << kFrames[i];
    }
    EXPECT_TRUE(form.port().isEnabled());
    EXPECT_TRUE(form.connectButton().isEnabled());
    EXPECT_TRUE(tabs.tabBar()->isEnabled());
    EXPECT_FALSE(named<QLineEdit>(form, "Zeile")->isVisible());
    EXPECT_FALSE(named<QPushButton>(form, "SetSnr")->isVisible());

    // Clicking a tab brings its frame to the front, the selected one again included; the
    // frames' contents and enabled state stay as they are.
    for (int i : {2, 3, 3, 0, 1}) {
        QTabBar* bar = tabs.tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
        EXPECT_EQ(tabs.currentIndex(), i);
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(tabs.widget(j)->isVisible(), i == j) << "tab " << i << ", frame " << j;
            EXPECT_FALSE(tabs.widget(j)->isEnabled());
        }
    }
}

TEST(Form1, LabelsNameTheControlsAfterThem) {
    const Form1 form;
    const struct {
        const char* text;
        const char* buddy;
    } pairs[] = {
        {"Version:", "Version"},
        {"Serial No.:", "SNR"},
        {"Power:", "akku"},
        {"from", "BlockAdress"},
        {"to", "BlockEndAdress"},
        {"Key:", "Key"},
        {"Content:", "WriteData"},
        {"PC-Time:", "Zeit"},
        {"Transponder:", "Tagtyp"},
        {"Switch off time:", "Offtime"},
        {"read timeout:", "Readtimeout"},
        {"GPS timeout:", "gpstimeout"},
        {"FDX Code:", "FDXCode"},
        {"Mode:", "Betriebsart"},
        {"Language:", "Sprache"},
        {"save in:", "PfadSpeichern"},
        {"read from:", "PfadLaden"},
    };
    for (const auto& p : pairs) {
        const QLabel* found = nullptr;
        for (const QLabel* label : form.findChildren<QLabel*>())
            if (label->text() == QLatin1String(p.text))
                found = label;
        ASSERT_TRUE(found) << p.text;
        ASSERT_TRUE(found->buddy()) << p.text;
        EXPECT_EQ(found->buddy()->objectName().toLatin1(), QByteArray(p.buddy));
        EXPECT_EQ(found->accessibleDescription(), found->objectName());
    }
}

TEST(Form1, TabKeyFollowsTheVisualOrder) {
    const Form1 form;
    const QList<QByteArray> expected = {"Port",
                                        "Connect",
                                        "Version",
                                        "SNR",
                                        "ReadId",
                                        "Scan",
                                        "IDAnzeige",
                                        "ReadCont",
                                        "ReadBlock",
                                        "WriteBlockHex",
                                        "BlockAdress",
                                        "WriteData",
                                        "Buzzer",
                                        "CLS",
                                        "Display",
                                        "DisplayZeile",
                                        "DisplayText",
                                        "Zeit",
                                        "SetzeZeit",
                                        "Tagtyp",
                                        "Offtime",
                                        "Check_Offtime",
                                        "gpstimeout",
                                        "EnBeeper",
                                        "EnGPS",
                                        "Betriebsart",
                                        "Order",
                                        "SpracheSetzen",
                                        "LeseErfassungen",
                                        "PfadSpeichern",
                                        "PfadSpeichernWaehlen",
                                        "GeneriereDaten",
                                        "OutStatistik",
                                        "Ausgabe"};
    QList<QByteArray> seen;
    QWidget* start = named<QWidget>(form, "Port");
    QWidget* widget = start;
    do {
        const QByteArray name = widget->objectName().toLatin1();
        if (expected.contains(name) && !seen.contains(name))
            seen << name;
        widget = widget->nextInFocusChain();
    } while (widget != start);
    EXPECT_EQ(seen, expected);
}

TEST(Form1, TypedTextInTheEditableListsStaysAsTyped) {
    Form1 form;
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    for (const char* frame : kFrames)
        named<QWidget>(form, frame)->setEnabled(true);
    for (const char* name : {"FDXCode", "Betriebsart", "Order", "Sprache", "DisplayZeile"}) {
        QComboBox* box = named<QComboBox>(form, name);
        auto* tabs = named<QTabWidget>(form, "Tabulator");
        for (int page = 0; page < tabs->count(); ++page) {
            if (tabs->widget(page)->isAncestorOf(box))
                tabs->setCurrentIndex(page);
        }
        box->addItem(QStringLiteral("1 - Hexadecimal"));
        box->setCurrentIndex(-1);
        box->clearEditText();
        box->lineEdit()->setFocus();
        QTest::keyClicks(box->lineEdit(), QStringLiteral("1"));
        EXPECT_EQ(box->currentText(), QStringLiteral("1")) << name << " completed the typed text";
    }
}

TEST(Form1, PortItemsTellTheirDeviceAndWhetherItIsThere) {
    Form1 form;
    PortBox& port = form.port();
    for (int n = 1; n <= 16; ++n)
        port.addItem(QStringLiteral("COM%1").arg(n));
    port.setCurrentIndex(2);
    QTemporaryFile device;
    ASSERT_TRUE(device.open());
    MemorySettingsStore store;
    store.save(QStringLiteral("Ports"), QStringLiteral("COM3"), device.fileName());
    store.save(QStringLiteral("Ports"), QStringLiteral("COM4"), QStringLiteral("/dev/qv-gone"));
    form.setPortToolTips(PortMap(store));

    EXPECT_EQ(port.itemData(2, Qt::ToolTipRole).toString(),
              QStringLiteral("COM3: %1 (present)").arg(device.fileName()));
    EXPECT_EQ(port.itemData(3, Qt::ToolTipRole).toString(),
              QStringLiteral("COM4: /dev/qv-gone (not present)"));
    EXPECT_EQ(port.toolTip(), port.itemData(2, Qt::ToolTipRole).toString());
    for (int n = 1; n <= 16; ++n) {
        EXPECT_EQ(port.itemText(n - 1), QStringLiteral("COM%1").arg(n));
        EXPECT_TRUE(port.itemData(n - 1, Qt::ToolTipRole)
                        .toString()
                        .startsWith(QStringLiteral("COM%1: ").arg(n)));
    }
}

} // namespace
