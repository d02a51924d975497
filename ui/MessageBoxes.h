#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>

class CFileError;
class QWidget;

// The program's message boxes, titled with the program's name. The desktop services show
// them; tests of their looks and keys build them here.

// A Yes/No question: No is the default button, and Escape or closing the box answers No.
std::unique_ptr<QMessageBox> MakeQuestionBox(const QString& text, QWidget* parent);

// A question whose two answers are named: `accept` is the default button; Escape or closing
// the box picks `reject`. The box's defaultButton() is the `accept` button.
std::unique_ptr<QMessageBox> MakeChoiceBox(const QString& text, const QString& accept,
                                           const QString& reject, QWidget* parent);

// An OK-only message with the picture of `icon` (information, warning or error).
std::unique_ptr<QMessageBox> MakeMessageBox(QMessageBox::Icon icon, const QString& text,
                                            QWidget* parent);

// A message that stays open beside the window while the user reads it, with `details` behind
// "Show Details..." in an area large enough to read them. Enter closes it wherever the focus
// is in it; only the OK button is a default.
std::unique_ptr<QMessageBox> MakeNoticeBox(const QString& text, const QString& details,
                                           QWidget* parent);

// What the user is told about a file of the working directory that could not be changed: the
// file and the system's reason.
QString FileErrorText(const CFileError& error);
