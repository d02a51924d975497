#pragma once

#include <QLocale>
#include <QString>

#include <cstddef>

// The words the loading window shows for how far loading or an import has come.

// "Loading meetings... 43,210 of 100,000", with the locale's digit grouping; "Loading
// meetings..." before the folder has been listed.
QString LoadingText(std::size_t loaded, std::size_t total, const QLocale& locale = QLocale());
// "Importing meetings... 43,210 of 100,000", the same for an import.
QString ImportingText(std::size_t stored, std::size_t total, const QLocale& locale = QLocale());

// What the loading window says for how far the work has come.
using ProgressText = QString (*)(std::size_t done, std::size_t total, const QLocale& locale);
