#pragma once

#include "ui/DesktopServices.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// The desktop services of the tests: every question is answered at once from a queue, every
// message is recorded instead of shown, pickers "return" what the test set, nothing is
// opened or started, and "now" is whatever the test says.
class CScriptedServices : public CDesktopServices {
public:
    enum class Kind { question, message, error, notice };

    struct SStarted {
        QString program;
        QStringList arguments;
    };

    // Back to the state of a fresh test: no answers, nothing recorded, pickers cancelled,
    // no viewer, no dialog scripts, the system's clock.
    void Reset();

    // Queues answers for Ask and AskChoice (true: Yes / accept; No when the queue is empty)
    // and forgets what was shown so far.
    void ScriptAnswers(std::deque<bool> answers);
    // Every text shown (questions, messages, errors, notices), oldest first.
    const QStringList& Shown() const { return m_shown; }
    QStringList ShownAs(Kind kind) const;
    // The details of every notice, oldest first.
    const QStringList& NoticeDetails() const { return m_noticeDetails; }

    // What the folder and save-file pickers return; nullopt: the user cancelled.
    void SetFolder(std::optional<QString> folder) { m_folder = std::move(folder); }
    void SetSaveFile(std::optional<QString> file) { m_saveFile = std::move(file); }
    // Answers for the next save-file pickers, one each, before SetSaveFile's answer.
    void ScriptSaveFiles(std::deque<std::optional<QString>> files) {
        m_saveFiles = std::move(files);
    }
    // The name each save-file picker proposed, oldest first.
    const QStringList& ProposedSaveNames() const { return m_proposedSaveNames; }
    // What the open-files picker returns; empty: the user cancelled.
    void SetOpenFiles(QStringList files) { m_openFiles = std::move(files); }

    // Whether the desktop has a viewer that opens a file handed to OpenFile.
    void SetViewerOpens(bool opens) { m_viewerOpens = opens; }
    // The files the desktop's viewer opened, oldest first.
    const QStringList& OpenedFiles() const { return m_opened; }

    // Programs StartProgram was asked to start, oldest first.
    const std::vector<SStarted>& StartedPrograms() const { return m_started; }

    // Plays the dialog of `objectName` whenever it is run and returns the script's result. A
    // dialog without a script is cancelled at once.
    void SetDialogScript(const QString& objectName, std::function<int(QDialog&)> script);

    // Fixes "now", for the store's new ids as well; nullopt: the system's clock again.
    void SetNow(std::optional<CDateTime> now);

    // The next context menu picks its action of this objectName (none when empty or when the
    // menu has no such action). Each menu run is recorded as its enabled actions' names.
    void SetMenuChoice(const QString& objectName) { m_menuChoice = objectName; }
    const std::vector<QStringList>& OfferedMenus() const { return m_menus; }

    bool Ask(int stringId, QWidget* parent) override;
    bool AskChoice(const QString& text, const QString& accept, const QString& reject,
                   QWidget* parent) override;
    void Inform(const QString& text, QWidget* parent) override;
    void ReportError(const QString& text, QWidget* parent) override;
    void Notify(const QString& text, const QString& details, QWidget* parent) override;
    std::optional<QString> PickFolder(const QString& caption, const QString& start,
                                      QWidget* parent) override;
    std::optional<QString> PickSaveFile(const QString& caption, const QString& start,
                                        const QString& filter, QWidget* parent) override;
    QStringList PickOpenFiles(const QString& caption, const QString& start, const QString& filter,
                              QWidget* parent) override;
    int RunDialog(QDialog& dialog) override;
    bool OpenFile(const QString& path) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    CDateTime Now() const override;
    QAction* RunMenu(QMenu& menu, const QPoint& globalPos) override;

private:
    bool Answer(const QString& text);
    void Record(Kind kind, const QString& text);

    std::deque<bool> m_answers;
    QStringList m_shown;
    QStringList m_noticeDetails;
    std::vector<Kind> m_kinds;
    std::optional<QString> m_folder;
    std::optional<QString> m_saveFile;
    std::deque<std::optional<QString>> m_saveFiles;
    QStringList m_proposedSaveNames;
    QStringList m_openFiles;
    bool m_viewerOpens = false;
    QStringList m_opened;
    std::vector<SStarted> m_started;
    QHash<QString, std::function<int(QDialog&)>> m_dialogScripts;
    std::optional<CDateTime> m_now;
    QString m_menuChoice;
    std::vector<QStringList> m_menus;
};
