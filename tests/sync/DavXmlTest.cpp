#include "sync/DavXml.h"

#include <gtest/gtest.h>

// A sync report as servers write it: a found object, a deleted one, a property the server
// does not have (its propstat says 404 and must not blank the found ones), the new token.
TEST(DavXmlTest, ReadsAReportAndIgnoresWhatWasNotFound) {
    const QByteArray xml = R"(<?xml version="1.0"?>
<multistatus xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav">
 <response><href>/u/cal/a%20b.ics</href>
  <propstat><prop><getetag>"e1"</getetag><C:calendar-data>BEGIN:VCALENDAR&#13;
END:VCALENDAR&#13;
</C:calendar-data></prop><status>HTTP/1.1 200 OK</status></propstat>
  <propstat><prop><displayname/><getetag/></prop><status>HTTP/1.1 404 Not Found</status></propstat>
 </response>
 <response><href>/u/cal/gone.ics</href><status>HTTP/1.1 404 Not Found</status></response>
 <response><href>/u/cal/</href><propstat><prop><resourcetype><collection/><C:calendar/>
  </resourcetype><C:supported-calendar-component-set><C:comp name="VTODO"/>
  </C:supported-calendar-component-set></prop><status>HTTP/1.1 200 OK</status></propstat>
 </response>
 <sync-token>http://radicale.org/ns/sync/42</sync-token>
</multistatus>)";
    const std::optional<CMultiStatus> answer = ParseMultiStatus(xml);
    ASSERT_TRUE(answer);
    ASSERT_EQ(answer->entries.size(), 3u);
    EXPECT_EQ(answer->entries[0].href, "/u/cal/a%20b.ics");
    EXPECT_EQ(answer->entries[0].etag, "\"e1\"");
    EXPECT_EQ(answer->entries[0].calendarData, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(answer->entries[0].status, 200);
    EXPECT_EQ(answer->entries[1].status, 404);
    EXPECT_TRUE(answer->entries[2].isCalendar);
    EXPECT_FALSE(answer->entries[2].takesEvents); // a task list is no place for meetings
    EXPECT_EQ(answer->syncToken, "http://radicale.org/ns/sync/42");

    for (const QByteArray& bad : {QByteArray("<multistatus xmlns=\"DAV:\"><response>"),
                                  QByteArray("<html><body>Login</body></html>"), QByteArray()}) {
        EXPECT_FALSE(ParseMultiStatus(bad)) << bad.constData();
    }
}
