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
// An OK-only message about something that went wrong (an error box, not an information box).
void ReportError(const QString& text, QWidget* parent = nullptr);
// A warning that leaves the window usable: it stays open, centred over `parent`'s window,
// until the user closes it. `details`, when given, goes into a scrollable details area.
void Notify(const QString& text, QWidget* parent = nullptr, const QString& details = {});

namespace AskTesting {
// While scripted, questions take the next queued answer (No when the queue is empty) and
// messages return at once.
void Script(std::deque<bool> answers);
void Stop();
bool IsScripted();
// Texts of every question and message shown while scripted, oldest first.
const QStringList& Shown();
} // namespace AskTesting
