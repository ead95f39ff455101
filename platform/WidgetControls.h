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
// Every change repaints the control at once. A control the window lacks, or one of the wrong
// kind, is a programming error: it is reported with qWarning and gives a neutral result
// (empty text, unchecked, -1, 0, false); nothing is changed.
class WidgetControls final : public Controls {
public:
    explicit WidgetControls(QWidget& root) : m_root(root) {}

    QString text(Control control) const override;
    void setText(Control control, const QString& text) override;
    bool isChecked(Control control) const override;
    void setChecked(Control control, bool checked) override;
    int currentIndex(Control control) const override;
    bool setCurrentIndex(Control control, int index) override;
    int itemCount(Control control) const override;
    // Keeps the current selection: a list with nothing selected still has nothing selected and
    // shows the text it showed, although Qt selects the first item of a list that was empty.
    void addItems(Control control, const QStringList& items) override;
    bool setValue(Control control, int value) override;
    int value(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    bool isEnabled(Control control) const override;
    void onPressed(Control control, std::function<void()> handler) override;
    void onChanged(Control control, std::function<void(bool checked)> handler) override;
    void onOperatorChanged(Control control, std::function<void(bool checked)> handler) override;

private:
    QWidget* find(Control control) const;
    template <class T> T* find(Control control, const char* kind) const;

    QWidget& m_root;
    bool m_changingCheck = false;
    mutable std::array<QPointer<QWidget>, kAllControls.size()> m_cache;
};
