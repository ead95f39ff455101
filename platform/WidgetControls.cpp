#include "platform/WidgetControls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QWidget>
#include <QtDebug>

QWidget* WidgetControls::find(Control control) const {
    QPointer<QWidget>& cached = m_cache.at(std::size_t(control));
    if (!cached.isNull())
        return cached.data();
    const char* name = objectName(control);
    auto* widget = m_root.findChild<QWidget*>(QString::fromLatin1(name));
    if (!widget) {
        qWarning("WidgetControls: the window has no control named %s", name);
        return nullptr;
    }
    cached = widget;
    return widget;
}

template <class T> T* WidgetControls::find(Control control, const char* kind) const {
    QWidget* widget = find(control);
    if (!widget)
        return nullptr;
    T* typed = qobject_cast<T*>(widget);
    if (!typed)
        qWarning("WidgetControls: %s is a %s, not a %s", objectName(control),
                 widget->metaObject()->className(), kind);
    return typed;
}

QString WidgetControls::text(Control control) const {
    QWidget* widget = find(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(widget))
        return box->currentText();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (widget)
        qWarning("WidgetControls: %s shows no text", objectName(control));
    return QString();
}

void WidgetControls::setText(Control control, const QString& text) {
    QWidget* widget = find(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(text);
    } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
        if (box->isEditable())
            box->setEditText(text);
        else
            box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else {
        if (widget)
            qWarning("WidgetControls: %s takes no text", objectName(control));
        return;
    }
    widget->repaint();
}

bool WidgetControls::isChecked(Control control) const {
    auto* button = find<QAbstractButton>(control, "button");
    return button && button->isChecked();
}

void WidgetControls::setChecked(Control control, bool checked) {
    auto* button = find<QAbstractButton>(control, "button");
    if (!button)
        return;
    {
        const QScopedValueRollback changing(m_changingCheck, true);
        button->setChecked(checked);
    }
    button->repaint();
}

void WidgetControls::onPressed(Control control, std::function<void()> handler) {
    if (auto* button = find<QAbstractButton>(control, "button"))
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [handler = std::move(handler)] { handler(); });
}

void WidgetControls::onChanged(Control control, std::function<void(bool checked)> handler) {
    if (auto* button = find<QAbstractButton>(control, "button"))
        QObject::connect(button, &QAbstractButton::toggled, button, std::move(handler));
}

void WidgetControls::onOperatorChanged(Control control, std::function<void(bool checked)> handler) {
    onChanged(control, [this, handler = std::move(handler)](bool checked) {
        if (!m_changingCheck)
            handler(checked);
    });
}

int WidgetControls::currentIndex(Control control) const {
    auto* box = find<QComboBox>(control, "drop-down");
    return box ? box->currentIndex() : -1;
}

bool WidgetControls::setCurrentIndex(Control control, int index) {
    auto* box = find<QComboBox>(control, "drop-down");
    if (!box || index < -1 || index >= box->count())
        return false;
    box->setCurrentIndex(index);
    box->repaint();
    return true;
}

int WidgetControls::itemCount(Control control) const {
    auto* box = find<QComboBox>(control, "drop-down");
    return box ? box->count() : 0;
}

void WidgetControls::addItems(Control control, const QStringList& items) {
    auto* box = find<QComboBox>(control, "drop-down");
    if (!box)
        return;
    const int index = box->currentIndex();
    const QString shown = box->currentText();
    box->addItems(items);
    if (box->currentIndex() != index) {
        box->setCurrentIndex(index);
        if (box->isEditable())
            box->setEditText(shown);
    }
    box->repaint();
}

bool WidgetControls::setValue(Control control, int value) {
    auto* bar = find<QProgressBar>(control, "progress bar");
    if (!bar || value < bar->minimum() || value > bar->maximum())
        return false;
    bar->setValue(value);
    bar->repaint();
    return true;
}

int WidgetControls::value(Control control) const {
    auto* bar = find<QProgressBar>(control, "progress bar");
    return bar ? bar->value() : 0;
}

void WidgetControls::setEnabled(Control control, bool enabled) {
    QWidget* widget = find(control);
    if (!widget)
        return;
    widget->setEnabled(enabled);
    widget->repaint();
}

bool WidgetControls::isEnabled(Control control) const {
    QWidget* widget = find(control);
    if (!widget)
        return false;
    QWidget* parent = widget->parentWidget();
    return parent ? widget->isEnabledTo(parent) : widget->isEnabled();
}
