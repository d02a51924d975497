#pragma once

#include <QPushButton>
#include <QVBoxLayout>

// A content page's command button, found by tests and by the keyboard through its name.
inline QPushButton* AddPageButton(QVBoxLayout& column, const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    column.addWidget(button);
    return button;
}
