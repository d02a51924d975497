#pragma once

#include <QVBoxLayout>

class QDialog;

// The item dialogs' OK (the default button, "okButton") and Cancel ("cancelButton"), one
// above the other, wired to the dialog's accept and reject.
QVBoxLayout* AddDialogButtons(QDialog& dialog);
