#pragma once

#include <QString>

#include <filesystem>
#include <string_view>
#include <vector>

// A file name as the user can find it again: UTF-8 as it reads, and every byte that is not
// part of valid UTF-8, or is a control character, written as \xNN.
QString EscapedFileName(std::string_view bytes);

// The notice about meeting files that the scan left out: the count and the first few names
// in the message itself, the whole list in a details area that scrolls.
struct CSkippedFilesNotice {
    QString text;
    QString details; // empty when the message names every file
};

constexpr int noticeNamesShown = 5;

CSkippedFilesNotice SkippedFilesNotice(const std::vector<std::filesystem::path>& files);
