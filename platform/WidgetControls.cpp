#include "platform/WidgetControls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QWidget>
#include <QtDebug>

QWidget* WidgetControls::find(const char* name) const {
    const QByteArray key(name);
    auto it = m_cache.constFind(key);
    if (it != m_cache.constEnd() && !it->isNull())
        return it->data();
    const QString objectName = QString::fromLatin1(name);
    QWidget* widget = m_root.objectName() == objectName
                          ? &m_root
                          : m_root.findChild<QWidget*>(objectName, Qt::FindChildrenRecursively);
    if (!widget) {
        qWarning("WidgetControls: the window has no control named %s", name);
        return nullptr;
    }
    m_cache.insert(key, widget);
    return widget;
}

template <class T> T* WidgetControls::find(const char* name, const char* kind) const {
    QWidget* widget = find(name);
    if (!widget)
        return nullptr;
    T* typed = qobject_cast<T*>(widget);
    if (!typed)
        qWarning("WidgetControls: %s is a %s, not a %s", name, widget->metaObject()->className(),
                 kind);
    return typed;
}

QString WidgetControls::text(const char* name) const {
    QWidget* widget = find(name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(widget))
        return box->currentText();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (widget)
        qWarning("WidgetControls: %s shows no text", name);
    return QString();
}

void WidgetControls::setText(const char* name, const QString& text) {
    QWidget* widget = find(name);
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
            qWarning("WidgetControls: %s takes no text", name);
        return;
    }
    widget->repaint();
}

bool WidgetControls::isChecked(const char* name) const {
    auto* button = find<QAbstractButton>(name, "button");
    return button && button->isChecked();
}

void WidgetControls::setChecked(const char* name, bool checked) {
    auto* button = find<QAbstractButton>(name, "button");
    if (!button)
        return;
    {
        const QScopedValueRollback changing(m_changingCheck, true);
        button->setChecked(checked);
    }
    button->repaint();
}

void WidgetControls::onPressed(const char* name, std::function<void()> handler) {
    if (auto* button = find<QAbstractButton>(name, "button"))
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [handler = std::move(handler)] { handler(); });
}

void WidgetControls::onChanged(const char* name, std::function<void(bool checked)> handler) {
    if (auto* button = find<QAbstractButton>(name, "button"))
        QObject::connect(button, &QAbstractButton::toggled, button, std::move(handler));
}

void WidgetControls::onOperatorChanged(const char* name,
                                       std::function<void(bool checked)> handler) {
    onChanged(name, [this, handler = std::move(handler)](bool checked) {
        if (!m_changingCheck)
            handler(checked);
    });
}

int WidgetControls::currentIndex(const char* name) const {
    auto* box = find<QComboBox>(name, "drop-down");
    return box ? box->currentIndex() : -1;
}

bool WidgetControls::setCurrentIndex(const char* name, int index) {
    auto* box = find<QComboBox>(name, "drop-down");
    if (!box || index < -1 || index >= box->count())
        return false;
    box->setCurrentIndex(index);
    box->repaint();
    return true;
}

int WidgetControls::itemCount(const char* name) const {
    auto* box = find<QComboBox>(name, "drop-down");
    return box ? box->count() : 0;
}

void WidgetControls::addItems(const char* name, const QStringList& items) {
    auto* box = find<QComboBox>(name, "drop-down");
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

bool WidgetControls::setValue(const char* name, int value) {
    auto* bar = find<QProgressBar>(name, "progress bar");
    if (!bar || value < bar->minimum() || value > bar->maximum())
        return false;
    bar->setValue(value);
    bar->repaint();
    return true;
}

int WidgetControls::value(const char* name) const {
    auto* bar = find<QProgressBar>(name, "progress bar");
    return bar ? bar->value() : 0;
}

void WidgetControls::setEnabled(const char* name, bool enabled) {
    QWidget* widget = find(name);
    if (!widget)
        return;
    widget->setEnabled(enabled);
    widget->repaint();
}

bool WidgetControls::isEnabled(const char* name) const {
    QWidget* widget = find(name);
    if (!widget)
        return false;
    QWidget* parent = widget->parentWidget();
    return parent ? widget->isEnabledTo(parent) : widget->isEnabled();
}
