#include "tests/support/ScriptedServices.h"

#include "store/Clock.h"
#include "ui/StringTable.h"

#include <QAction>
#include <QDialog>
#include <QMenu>

void CScriptedServices::Reset() {
    SetNow(std::nullopt);
    *this = CScriptedServices();
}

void CScriptedServices::ScriptAnswers(std::deque<bool> answers) {
    m_answers = std::move(answers);
    m_shown.clear();
    m_kinds.clear();
    m_noticeDetails.clear();
}

QStringList CScriptedServices::ShownAs(Kind kind) const {
    QStringList texts;
    for (qsizetype i = 0; i < m_shown.size(); ++i) {
        if (m_kinds[static_cast<size_t>(i)] == kind) {
            texts.append(m_shown[i]);
        }
    }
    return texts;
}

void CScriptedServices::SetDialogScript(const QString& objectName,
                                        std::function<int(QDialog&)> script) {
    m_dialogScripts.insert(objectName, std::move(script));
}

void CScriptedServices::SetNow(std::optional<CDateTime> now) {
    m_now = now;
    if (now) {
        SetClock([when = *now] { return when; });
    } else {
        SetClock({});
    }
}

void CScriptedServices::Record(Kind kind, const QString& text) {
    m_shown.append(text);
    m_kinds.push_back(kind);
}

bool CScriptedServices::Answer(const QString& text) {
    Record(Kind::question, text);
    if (m_answers.empty()) {
        return false;
    }
    const bool answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

bool CScriptedServices::Ask(int stringId, QWidget*) {
    return Answer(LoadResString(stringId));
}

bool CScriptedServices::AskChoice(const QString& text, const QString&, const QString&, QWidget*) {
    return Answer(text);
}

void CScriptedServices::Inform(const QString& text, QWidget*) {
    Record(Kind::message, text);
}

void CScriptedServices::ReportError(const QString& text, QWidget*) {
    Record(Kind::error, text);
}

void CScriptedServices::Notify(const QString& text, const QString& details, QWidget*) {
    m_noticeDetails.append(details);
    Record(Kind::notice, text);
}

std::optional<QString> CScriptedServices::PickFolder(const QString&, const QString&, QWidget*) {
    return m_folder;
}

std::optional<QString> CScriptedServices::PickSaveFile(const QString&, const QString& start,
                                                       const QString&, QWidget*) {
    m_proposedSaveNames.append(start);
    if (m_saveFiles.empty()) {
        return m_saveFile;
    }
    const QString file = m_saveFiles.front().value_or(QString());
    const bool cancelled = !m_saveFiles.front().has_value();
    m_saveFiles.pop_front();
    return cancelled ? std::nullopt : std::optional<QString>(file);
}

QStringList CScriptedServices::PickOpenFiles(const QString&, const QString&, const QString&,
                                             QWidget*) {
    return m_openFiles;
}

int CScriptedServices::RunDialog(QDialog& dialog) {
    const auto script = m_dialogScripts.constFind(dialog.objectName());
    if (script == m_dialogScripts.constEnd()) {
        dialog.reject();
        return QDialog::Rejected;
    }
    // A copy: the script may replace itself.
    const std::function<int(QDialog&)> play = *script;
    return play(dialog);
}

bool CScriptedServices::OpenFile(const QString& path) {
    if (m_viewerOpens) {
        m_opened.append(path);
    }
    return m_viewerOpens;
}

bool CScriptedServices::StartProgram(const QString& program, const QStringList& arguments) {
    m_started.push_back({program, arguments});
    return true;
}

CDateTime CScriptedServices::Now() const {
    return m_now ? *m_now : CurrentDateTime();
}

QAction* CScriptedServices::RunMenu(QMenu& menu, const QPoint&) {
    QStringList enabled;
    QAction* chosen = nullptr;
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator() && action->isEnabled()) {
            enabled << action->objectName();
        }
        if (!m_menuChoice.isEmpty() && action->objectName() == m_menuChoice) {
            chosen = action;
        }
    }
    m_menus.push_back(enabled);
    m_menuChoice.clear();
    return chosen;
}
