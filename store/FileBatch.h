#pragma once

#include "store/FileError.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

class CFileCalls;

// Many new files of one folder stored together, each as whole and atomic as
// WriteFileAtomically makes it, but with one flush for all of them instead of two per file.
//
// Add writes each file to a temporary file of its own beside it. Commit flushes the file
// system once (so every temporary file is whole on disk before any name changes), renames each
// over its name in the order added, flushes the folder once and tells the file listeners of
// each file in place. After a crash at any point each file is whole or absent.
//
// Files come in groups (a meeting file with its lists): Commit keeps a group only when all of
// its files are in place. Every way out without a kept group leaves no temporary file.
class CFileBatch {
public:
    struct CResult {
        std::size_t groupsKept = 0;      // the first groups, every file in place
        std::optional<CFileError> error; // why the groups after them are not
    };

    explicit CFileBatch(std::filesystem::path folder);
    ~CFileBatch();
    CFileBatch(const CFileBatch&) = delete;
    CFileBatch& operator=(const CFileBatch&) = delete;

    // Writes `bytes` to a new temporary file for `path`, a name in the batch's folder that no
    // file has yet (the first Add opens the folder). CFileError naming `path` when it cannot be
    // written; the files added before stay pending.
    void Add(const std::filesystem::path& path, std::string_view bytes);
    // The files added since the last group ended make one group.
    void EndGroup();
    // Puts the files in place (files added after the last EndGroup make one more group). Once
    // only; the batch holds nothing afterwards.
    CResult Commit();

    std::size_t GetGroupCount() const { return m_groupEnds.size(); }

private:
    struct CPending {
        std::filesystem::path path;
        std::filesystem::path temporary;
    };

    void RemoveTemporaryFiles(std::size_t from);

    CFileCalls& m_calls;
    std::filesystem::path m_folder;
    std::vector<CPending> m_files;
    std::vector<std::size_t> m_groupEnds; // one past each group's last file
    int m_folderFd = -1;
    bool m_committed = false;
};
