#pragma once

#include "store/DateTime.h"

#include <QDateTime>

// Local date-times of the widgets and the day counts of the store, to the whole second.
QDateTime ToQDateTime(const CDateTime& value);
CDateTime FromQDateTime(const QDateTime& value);
