#pragma once

#include "export/MeetingPage.h"
#include "store/Meeting.h"

#include <QByteArray>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>

class QPagedPaintDevice;

// The paper people of a country print on: Letter in the Americas that use it and the
// Philippines, A4 everywhere else.
QPageSize::PageSizeId PaperForTerritory(QLocale::Territory territory);

// The page of a printed meeting: the locale's paper, upright, with margins for a binder.
QPageLayout MeetingPageLayout(const QLocale& locale);

// Lays the meeting's page (the same content as its HTML page) out on `device`, whose page
// layout is already set, and paints it: the meeting's title and date at the top of every
// page, "Page N of M" at the bottom. Returns the number of pages painted; 0 when the device
// could not be painted on.
int PaintMeeting(QPagedPaintDevice& device, const CMeeting& record, const CMeetingContent& content);

// The meeting as a PDF document, laid out by `layout`; empty when it could not be made.
QByteArray BuildMeetingPdf(const CMeeting& record, const CMeetingContent& content,
                           const QPageLayout& layout);
