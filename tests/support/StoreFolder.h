#pragma once

#include "store/Clock.h"
#include "store/FileCalls.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// A meeting with the given id, date and title, every other field empty.
inline CMeeting MeetingAt(std::string id, const CDateTime& date, std::string title = {}) {
    CMeeting record(date);
    record.id = std::move(id);
    record.title = std::move(title);
    return record;
}

// A store on a temporary folder of its own, which is the working directory for the test; the
// clock, the file calls and the working directory are the system's again afterwards.
class CStoreFolderTest : public ::testing::Test {
protected:
    void SetUp() override { SetWorkingDirectory(folder.Path()); }
    void TearDown() override {
        SetFileCalls(nullptr);
        SetClock({});
        SetWorkingDirectory({});
    }

    // Lays a meeting file down by hand, as another program might (the store's own saves
    // flush to disk: slow by the hundred).
    void PutFile(const std::string& name, const CMeeting& record) const {
        folder.WriteFile(name, EncodeMeeting(record));
    }
    void PutFile(const CMeeting& record) const { PutFile("meeting" + record.id + ".mtg", record); }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    CTempFolder folder;
    CMeetingStore store;
};
