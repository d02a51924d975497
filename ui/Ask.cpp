#include "ui/Ask.h"

#include "ui/StringTable.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <optional>

namespace {

struct Script {
    bool active = false;
    std::deque<bool> answers;
    QStringList shown;
};

Script& TheScript() {
    static Script script;
    return script;
}

QString Title() {
    return LoadResString(StringId::appTitle);
}

// The next queued answer while scripted; nullopt when the user is to be asked.
std::optional<bool> ScriptedAnswer(const QString& text) {
    Script& script = TheScript();
    if (!script.active) {
        return std::nullopt;
    }
    script.shown.append(text);
    if (script.answers.empty()) {
        return false;
    }
    const bool answer = script.answers.front();
    script.answers.pop_front();
    return answer;
}

} // namespace

bool Ask(int stringId, QWidget* parent) {
    const QString text = LoadResString(stringId);
    if (const std::optional<bool> answer = ScriptedAnswer(text)) {
        return *answer;
    }
    return QMessageBox::question(parent, Title(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool AskChoice(const QString& text, const QString& accept, const QString& reject, QWidget* parent) {
    if (const std::optional<bool> answer = ScriptedAnswer(text)) {
        return *answer;
    }
    QMessageBox box(QMessageBox::Question, Title(), text, QMessageBox::NoButton, parent);
    QPushButton* acceptButton = box.addButton(accept, QMessageBox::AcceptRole);
    QPushButton* rejectButton = box.addButton(reject, QMessageBox::RejectRole);
    box.setDefaultButton(acceptButton);
    box.setEscapeButton(rejectButton);
    box.exec();
    return box.clickedButton() == acceptButton;
}

void Inform(int stringId, QWidget* parent) {
    InformText(LoadResString(stringId), parent);
}

void InformText(const QString& text, QWidget* parent) {
    Script& script = TheScript();
    if (script.active) {
        script.shown.append(text);
        return;
    }
    QMessageBox::information(parent, Title(), text);
}

void ReportError(const QString& text, QWidget* parent) {
    Script& script = TheScript();
    if (script.active) {
        script.shown.append(text);
        return;
    }
    QMessageBox::critical(parent, Title(), text);
}

void Notify(const QString& text, QWidget* parent, const QString& details) {
    Script& script = TheScript();
    if (script.active) {
        script.shown.append(text);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, Title(), text, QMessageBox::Ok,
                                parent ? parent->window() : nullptr);
    box->setObjectName(QStringLiteral("notice"));
    box->setDetailedText(details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

namespace AskTesting {

void Script(std::deque<bool> answers) {
    auto& script = TheScript();
    script.active = true;
    script.answers = std::move(answers);
    script.shown.clear();
}

void Stop() {
    auto& script = TheScript();
    script.active = false;
    script.answers.clear();
}

bool IsScripted() {
    return TheScript().active;
}

const QStringList& Shown() {
    return TheScript().shown;
}

} // namespace AskTesting
