#pragma once

#include "store/AgendaItem.h"
#include "store/TodoItem.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The four lists a meeting may have beside its meeting file, one file each, named
// prefix + meeting id + extension in the working directory.
enum class ContentKind { agenda, attendees, minutes, todos };

std::filesystem::path ContentFilePath(ContentKind kind, std::string_view meetingId);

// Readers trim the id, read nothing from a missing file, and keep the entries read before
// a truncated or malformed part.
std::vector<CAgendaItem> ReadAgendaFile(std::string_view meetingId);
std::vector<std::string> ReadAttendeeFile(std::string_view meetingId);
std::vector<std::string> ReadMinutesFile(std::string_view meetingId);
std::vector<CTodoItem> ReadTodoFile(std::string_view meetingId);

// Decoders over a file's bytes, shared by the readers and the fuzz targets.
std::vector<CAgendaItem> DecodeAgenda(std::string_view bytes);
std::vector<std::string> DecodeStringList(std::string_view bytes);
std::vector<CTodoItem> DecodeTodos(std::string_view bytes);

std::string EncodeAgenda(const std::vector<CAgendaItem>& items);
std::string EncodeStringList(const std::vector<std::string>& items);
std::string EncodeTodos(const std::vector<CTodoItem>& items);

// Writers replace the whole file atomically; CFileError when that fails.
void WriteAgendaFile(std::string_view meetingId, const std::vector<CAgendaItem>& items);
void WriteAttendeeFile(std::string_view meetingId, const std::vector<std::string>& names);
void WriteMinutesFile(std::string_view meetingId, const std::vector<std::string>& minutes);
void WriteTodoFile(std::string_view meetingId, const std::vector<CTodoItem>& items);

// Removes the agenda, attendee, todo and minutes files in that order, ignoring failures.
void DeleteContentFiles(std::string_view meetingId);
