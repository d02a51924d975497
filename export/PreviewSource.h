#pragma once

#include "store/Meeting.h"
#include "store/TodoItem.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CMeetingStore;

// Everything the preview of one meeting shows, as texts ready for the screen. A section is
// absent (nullopt) when the meeting has no file of that kind, and empty when its file holds
// no entries.
struct CPreviewSource {
    struct CAgendaLine {
        QString time;
        QString text;
    };
    struct CTodoLine {
        QString text;
        std::int32_t priority = 0;
        std::int32_t done = 0;
    };

    QString title;
    QString reference;
    // The short date, four spaces and the time of day.
    QString dateText;
    QString venue;
    QString presidedBy;
    QString notes;
    std::int32_t icon = 0;

    std::optional<std::vector<QString>> attendees;
    std::optional<std::vector<CAgendaLine>> agenda;
    std::optional<std::vector<QString>> minutes;
    std::optional<std::vector<CTodoLine>> todos;
};

// How a stored text becomes a shown one: ToShownText for the screen (bounded), ToQString
// where the whole text is wanted (the clipboard).
using TextDecoder = QString (*)(std::string_view bytes);

// Reads the meeting `id` from the store and its content files from the working directory.
// An id the store does not hold gives the fields of an empty record.
CPreviewSource ReadPreviewSource(const CMeetingStore& store, const std::string& id,
                                 TextDecoder decode);
