#pragma once

#include "ui/DesktopServices.h"

// The desktop services the program runs on: real message boxes, file dialogs, the desktop's
// viewers, started processes and the system clock.
class CSystemServices : public CDesktopServices {
public:
    bool Ask(int stringId, QWidget* parent) override;
    bool AskChoice(const QString& text, const QString& accept, const QString& reject,
                   QWidget* parent) override;
    void Inform(const QString& text, QWidget* parent) override;
    void ReportError(const QString& text, QWidget* parent) override;
    void Notify(const QString& text, const QString& details, QWidget* parent) override;
    std::optional<QString> PickFolder(const QString& caption, const QString& start,
                                      QWidget* parent) override;
    QStringList PickOpenFiles(const QString& caption, const QString& start, const QString& filter,
                              QWidget* parent) override;
    std::optional<QString> PickSaveFile(const QString& caption, const QString& start,
                                        const QString& filter, QWidget* parent) override;
    int RunDialog(QDialog& dialog) override;
    bool OpenFile(const QString& path) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    CDateTime Now() const override;
    QAction* RunMenu(QMenu& menu, const QPoint& globalPos) override;
};
