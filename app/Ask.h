#pragma once

#include <QString>

#include <deque>

class QWidget;

// Yes/No questions and OK-only messages by string number. Tests queue answers instead of
// running a real modal loop; every shown text is recorded so they can check what was asked.
bool Ask(int stringId, QWidget* parent = nullptr);
// A question whose two answers are named by `accept` and `reject`: true for `accept`. Escape
// or closing the box picks `reject`.
bool AskChoice(const QString& text, const QString& accept, const QString& reject,
               QWidget* parent = nullptr);
void Inform(int stringId, QWidget* parent = nullptr);
void InformText(const QString& text, QWidget* parent = nullptr);
// A message that leaves the window usable: it stays open beside it until the user closes it.
void Notify(const QString& text, QWidget* parent = nullptr);

namespace AskTesting {
// While scripted, questions take the next queued answer (No when the queue is empty) and
// messages return at once.
void Script(std::deque<bool> answers);
void Stop();
bool IsScripted();
// Texts of every question and message shown while scripted, oldest first.
const QStringList& Shown();
} // namespace AskTesting
