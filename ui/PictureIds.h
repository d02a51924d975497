#pragma once

// The ids of the pictures and picture strips the windows load (res/art/<id>.svg, described in
// res/art/pictures.json), named for what they show.
namespace PictureId {
// Strips, one image after another.
constexpr int modeButtons = 130;      // Agenda, Day, Week and Month, in the left pane
constexpr int meetingIconStrip = 141; // the meetings' icons
constexpr int monthDayNames = 134;    // the day names above the month grid, Sunday first
constexpr int todoRowStrip = 145;     // low, medium, high priority, done, not done
constexpr int todoHeaderStrip = 146;  // per todo column: sorted, reversed, not sorted
constexpr int weekHeaderStrip = 138;  // the week header's hour and day pictures
constexpr int previewStates = 142;    // priorities, done, not done, minute bullet
constexpr int toolbarStrip = 154;     // the toolbar's command buttons
constexpr int stepArrows = 158;       // back and forward, beside the toolbar's date picker
constexpr int quickViewStrip = 157;   // the quick view's commands, then the meeting icons
constexpr int messageIcons = 180;     // question, information, warning and error

// Single pictures.
constexpr int monthHeaderBand = 133;     // behind the month grid's day names
constexpr int monthMeetingPicture = 136; // in a month grid cell that has meetings
constexpr int emptyListPicture = 140;    // shown by a meeting list without meetings
constexpr int agendaRowPicture = 143;    // the agenda's rows, two lines high
constexpr int attendeeRowPicture = 148;  // the attendees' rows
constexpr int minutesRowPicture = 149;   // the minutes' rows
constexpr int wizardWatermark = 155;     // behind the first page of the new-meeting wizard
constexpr int wizardHeader = 156;        // the band behind the wizard's page titles
constexpr int dayMeetingPicture = 131;   // a meeting's box in the day list
constexpr int dragPicture = 132;         // under the cursor while a meeting is dragged
constexpr int weekHeaderBackground = 137;
constexpr int weekMeetingPicture = 139; // one meeting in a week cell
constexpr int okButton = 168;
constexpr int cancelButton = 169;
constexpr int changeButton = 170;
constexpr int preferenceBackground = 171;
constexpr int aboutPicture = 172;
constexpr int helpButton = 173;
} // namespace PictureId
