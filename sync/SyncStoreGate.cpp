#include "sync/SyncStoreGate.h"

#include "store/ContentFiles.h"
#include "store/FileIo.h"
#include "store/MeetingStore.h"
#include <filesystem>

std::vector<std::string> CStoreSyncGate::Add(const std::vector<CCalendarMeeting>& meetings,
                                             const std::unordered_set<std::string>& listed) {
    return m_store.AddMeetings(
        meetings.size(),
        [&meetings](std::size_t i) {
            const CCalendarMeeting& meeting = meetings[i];
            CNewMeeting added{meeting.record, meeting.content.agenda, meeting.content.attendees,
                              meeting.content.todos, meeting.content.minutes};
            added.record.id.clear();
            return added;
        },
        {}, &listed);
}

void CStoreSyncGate::Change(const CCalendarMeeting& meeting) {
    const std::string& id = meeting.record.id;
    const CMeetingContent& content = meeting.content;
    // A write that fails leaves the sync state as it was: the next sync finds the meeting
    // changed on both sides and keeps both, so a half-written change loses nothing.
    const auto keep = [&id](ContentKind kind, const auto& list, auto write) {
        if (list) {
            write(id, *list);
        } else if (std::filesystem::exists(ContentFilePath(kind, id))) {
            RemoveFile(ContentFilePath(kind, id));
        }
    };
    keep(ContentKind::agenda, content.agenda, WriteAgendaFile);
    keep(ContentKind::attendees, content.attendees, WriteAttendeeFile);
    keep(ContentKind::minutes, content.minutes, WriteMinutesFile);
    keep(ContentKind::todos, content.todos, WriteTodoFile);
    m_store.ModifyMeeting(meeting.record);
}

void CStoreSyncGate::Delete(const std::string& id) {
    m_store.DeleteMeeting(id);
}
