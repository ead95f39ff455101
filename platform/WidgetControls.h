#pragma once

#include "platform/Controls.h"

#include <QHash>
#include <QPointer>

class QWidget;

// The window's controls, found by their object names under a root widget.
//
// Texts: a line edit's or label's text, a button's caption, a drop-down's shown text. Setting
// the text of a drop-down that only takes its items selects the item with exactly that text, or
// none; an editable one shows the text as typed. A one-line field or editable list keeps only
// the first line of a text set into it, as of one typed or pasted, except the fields that show
// received text as it came (`IDAnzeige`, `Zeile`). Check states: setChecked raises the button's
// toggled signal when the state changes, never clicked; a handler that belongs to the operator's
// changes alone (by mouse, keyboard or assistive technology, all of which raise toggled) is not
// run for the tool's own change. Enabled: a
// control's own state, whatever its frame's.
//
// Every change repaints the control at once. A name that does not exist, or a control of the
// wrong kind, is a programming error: it is reported with qWarning and gives a neutral result
// (empty text, unchecked, -1, 0, false); nothing is changed.
class WidgetControls final : public Controls {
public:
    explicit WidgetControls(QWidget& root) : m_root(root) {}

    QString text(const char* name) const override;
    void setText(const char* name, const QString& text) override;
    bool isChecked(const char* name) const override;
    void setChecked(const char* name, bool checked) override;
    int currentIndex(const char* name) const override;
    bool setCurrentIndex(const char* name, int index) override;
    int itemCount(const char* name) const override;
    // Keeps the current selection: a list with nothing selected still has nothing selected and
    // shows the text it showed, although Qt selects the first item of a list that was empty.
    void addItems(const char* name, const QStringList& items) override;
    bool setValue(const char* name, int value) override;
    int value(const char* name) const override;
    void setEnabled(const char* name, bool enabled) override;
    bool isEnabled(const char* name) const override;
    void onPressed(const char* name, std::function<void()> handler) override;
    void onChanged(const char* name, std::function<void(bool checked)> handler) override;
    void onOperatorChanged(const char* name, std::function<void(bool checked)> handler) override;

private:
    QWidget* find(const char* name) const;
    template <class T> T* find(const char* name, const char* kind) const;

    QWidget& m_root;
    bool m_changingCheck = false;
    mutable QHash<QByteArray, QPointer<QWidget>> m_cache;
};
