#pragma once

#include "store/DateTime.h"

#include <QString>
#include <QStringList>

#include <optional>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

// Everything the program asks of the desktop and of the user outside its own windows:
// questions and messages, picking a folder or a file, opening a file, starting a program, the
// current time, running a dialog and running a context menu. Widgets receive it from whoever
// builds them; the program runs on the system's services, tests on scripted ones that answer
// at once.
class CDesktopServices {
public:
    virtual ~CDesktopServices() = default;

    // A Yes/No question from the string table; No is the default button. True for Yes.
    virtual bool Ask(int stringId, QWidget* parent) = 0;
    // A question whose two answers are named by `accept` and `reject`; Escape picks `reject`.
    virtual bool AskChoice(const QString& text, const QString& accept, const QString& reject,
                           QWidget* parent) = 0;
    // OK-only messages: for information, and about something that went wrong.
    virtual void Inform(const QString& text, QWidget* parent) = 0;
    virtual void ReportError(const QString& text, QWidget* parent) = 0;
    // A warning that leaves the window usable; `details` goes into a scrollable area.
    virtual void Notify(const QString& text, const QString& details, QWidget* parent) = 0;

    // The folder or the file to save that the user picked; nullopt when the user cancelled.
    // The save picker does not ask about an existing file: its caller does.
    virtual std::optional<QString> PickFolder(const QString& caption, const QString& start,
                                              QWidget* parent) = 0;
    virtual std::optional<QString> PickSaveFile(const QString& caption, const QString& start,
                                                const QString& filter, QWidget* parent) = 0;
    // The existing files the user picked to open, in the order picked; empty when the user
    // cancelled.
    virtual QStringList PickOpenFiles(const QString& caption, const QString& start,
                                      const QString& filter, QWidget* parent) = 0;

    // Runs a dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int RunDialog(QDialog& dialog) = 0;

    // Hands a file to the desktop's viewer for it; false when the desktop has no viewer for
    // the file's type or nothing opened it.
    virtual bool OpenFile(const QString& path) = 0;
    // Starts a program that runs on its own; false when it did not start.
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;

    // The one "now" of the program: new meetings, "today" and the date picker read it.
    virtual CDateTime Now() const = 0;

    // Runs a context menu at a global position; the chosen action, null when none.
    virtual QAction* RunMenu(QMenu& menu, const QPoint& globalPos) = 0;
};
