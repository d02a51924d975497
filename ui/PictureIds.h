#pragma once

// The ids of the pictures and picture strips the windows load (res/art/<id>.svg, described in
// res/art/pictures.json), named for what they show.
namespace PictureId {
// Strips, one image after another.
constexpr int modeButtons = 130;      // Agenda, Day, Week and Month, in the left pane
constexpr int meetingIconStrip = 141; // the meetings' icons
constexpr int previewStates = 142;    // priorities, done, not done, minute bullet
constexpr int toolbarStrip = 154;     // the toolbar's command buttons
constexpr int quickViewStrip = 157;   // the quick view's commands, then the meeting icons
constexpr int messageIcons = 180;     // question, information, warning and error

// Single pictures.
constexpr int emptyListPicture = 140; // shown by a meeting list without meetings
constexpr int okButton = 168;
constexpr int cancelButton = 169;
constexpr int changeButton = 170;
constexpr int preferenceBackground = 171;
constexpr int aboutPicture = 172;
constexpr int helpButton = 173;
} // namespace PictureId
