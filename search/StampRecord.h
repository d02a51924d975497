#pragma once

#include "search/FolderFiles.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The stamps of one meeting's files as one short record of the index: the names the program
// writes are a byte each, rebuilt from the meeting's id; only another name is spelt out.
std::string EncodeStampRecord(std::string_view meetingId,
                              const std::vector<std::pair<std::string, CFileStamp>>& files);
// Adds the files of `record` to `stamps` under their names. False when the record is damaged.
bool DecodeStampRecord(std::string_view meetingId, std::string_view record,
                       std::unordered_map<std::string, CFileStamp>& stamps);
