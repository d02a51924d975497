#pragma once

#include <filesystem>

// What lies under the index's name in the cache folder, looked at before SQLite opens it: a
// PRAGMA that writes (the journal mode) must never reach a file that is not ours.
enum class IndexFileState {
    absent,  // nothing there: an index is made
    ours,    // a regular file of ours under this one name, empty or starting as SQLite does
    foreign, // anything else: a link, a pipe, a device, a folder, a file with another name too,
             // another user's file or one of another format; removed (the name only), never
             // opened
};

// Looks at `file` without following a link or waiting on a pipe, and on what was opened, so
// nothing can be swapped in between. (A journal beside it that SQLite cannot use fails the
// open, which makes the index afresh as well.)
IndexFileState CheckIndexFile(const std::filesystem::path& file);

// Removes the index file and its journals: the names only, never what a link names.
void RemoveIndexFiles(const std::filesystem::path& file);
