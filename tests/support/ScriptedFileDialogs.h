#pragma once

#include "platform/FileDialogs.h"

#include <QList>

// File dialogs that record how they were opened and answer from a script (cancel by default).
class ScriptedFileDialogs final : public FileDialogs {
public:
    struct Opened {
        bool save;
        QString title;
        QStringList filters;
        QString initialPath;
    };

    std::optional<QString> saveFile(const QString& title, const QStringList& filters,
                                    const QString& initialPath) override {
        return answer({true, title, filters, initialPath});
    }
    std::optional<QString> openFile(const QString& title, const QStringList& filters,
                                    const QString& initialPath) override {
        return answer({false, title, filters, initialPath});
    }

    void chooseNext(const QString& path) { m_answers.append(path); }
    void cancelNext() { m_answers.append(std::nullopt); }
    const QList<Opened>& opened() const { return m_opened; }

private:
    std::optional<QString> answer(const Opened& opened) {
        m_opened.append(opened);
        return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
    }

    QList<Opened> m_opened;
    QList<std::optional<QString>> m_answers;
};
