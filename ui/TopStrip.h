#pragma once

#include <QList>
#include <QWidget>

class PortBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The strip at the top of the window, seen with every page: the port list, the connect toggle,
// the battery bar, firmware version and serial number, the logo, and the hidden fields `Zeile`
// (the last reply line) and `SetSnr`.
class TopStrip final : public QWidget {
    Q_OBJECT

public:
    explicit TopStrip(QWidget* parent = nullptr);

    PortBox& port() const { return *m_port; }
    QPushButton& connectButton() const { return *m_connect; }
    QLineEdit& zeile() const { return *m_zeile; }
    // The controls that take keyboard focus, in the order the eye reads them.
    QList<QWidget*> focusOrder() const;

private:
    // Places the controls: the connection on the left, the status in the middle, the logo on the
    // right.
    void layOut();

    PortBox* m_port;
    QPushButton* m_connect;
    QProgressBar* m_akku;
    QLineEdit* m_version;
    QLineEdit* m_snr;
    QPushButton* m_setSnr;
    QLineEdit* m_zeile;
    QLabel* m_picture;
};
