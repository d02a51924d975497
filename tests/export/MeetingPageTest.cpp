#include "export/MeetingPage.h"
#include "store/ContentFiles.h"
#include "tests/support/QtTestEnvironment.h"
#include "ui/Formatting.h"

namespace {

using MeetingPageTest = CQtTest;

const std::string id = "2026120109000010";

CMeeting Record() {
    CMeeting record(CDateTime(2026, 12, 1, 9, 30, 0));
    record.id = id;
    record.reference = "R-7";
    record.title = "Budget";
    record.venue = "Room 1";
    record.presidedBy = "Ann";
    record.notes = "first\r\nsecond";
    return record;
}

QString Page(const CMeeting& record, const CMeetingContent& content = {}) {
    return QString::fromUtf8(BuildMeetingPage(record, content));
}

const QString attendeesHeading = QStringLiteral("<p><u><b>Attendees</b></u><ol>");
const QString agendaHeading = QStringLiteral(
    "<p><u><b>Agenda</b></u><p><table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" "
    "width=\"100%\">");
const QString todoHeading = QStringLiteral(
    "<p align=\"left\"><u><b><font face=\"Verdana\" size=\"2\">ToDo</font></b></u><p><ul>");
const QString minutesHeading =
    QStringLiteral("<p align=\"left\"><u><b><font face=\"Verdana\" size=\"2\">Tavelin</b></u><ol>");

} // namespace

// Markup typed into any stored text stays text (an earlier escape too); control characters
// have no place in HTML, while tabs and line breaks stay; a text of either encoding (UTF-8
// typed here, Windows-1252 from an old file) is written as the UTF-8 of what the program shows.
TEST_F(MeetingPageTest, StoredTextsAreEscapedCleanedAndUtf8) {
    const std::string nasty = "a<&>\"'b";
    const QString escaped = QStringLiteral("a&lt;&amp;&gt;&quot;&#39;b");
    CMeeting record = Record();
    record.reference = record.venue = record.presidedBy = record.notes = nasty;
    record.title = std::string("&lt;\0\x01\x1b[31m\t\xE9", 13);
    CMeetingContent content;
    content.attendees = std::vector<std::string>{nasty, "Ren\xC3\xA9", "\x80 5"};
    content.agenda = std::vector<CAgendaItem>{{CDateTime(2026, 12, 1, 10, 0, 0), nasty}};
    content.todos = std::vector<CTodoItem>{{nasty, CTodoItem::low, 0}};
    content.minutes = std::vector<std::string>{nasty + "\r\n" + nasty, "x\x1f\r\ny"};
    const QByteArray bytes = BuildMeetingPage(record, content);
    const QString page = QString::fromUtf8(bytes);

    EXPECT_EQ(page.count(escaped), 9) << "four fields, three lists, a minute of two";
    EXPECT_TRUE(page.contains(escaped + "<br>" + escaped)) << "the break still becomes <br>";
    EXPECT_FALSE(page.contains(QStringLiteral("<&"))) << page.toStdString();
    EXPECT_FALSE(page.contains(QStringLiteral("'b"))) << page.toStdString();
    EXPECT_TRUE(bytes.contains("<title>Tavelin :: &amp;lt;[31m\t\xC3\xA9</title>"))
        << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("<b>&amp;lt;[31m\t\xC3\xA9</b>"));
    EXPECT_TRUE(bytes.contains("<li>x<br>y</li>")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("<li>Ren\xC3\xA9</li><li>\xE2\x82\xAC 5</li>"));
    for (const char control : {'\0', '\x01', '\x1b', '\x1f', '\xE9'}) {
        EXPECT_FALSE(bytes.contains(control)) << int(control);
    }
}

// A missing file drops its section; an empty one keeps heading and closing. The order is
// attendees, agenda, todos, minutes.
TEST_F(MeetingPageTest, SectionsFollowTheirFilesInAFixedOrder) {
    QString page = Page(Record(), ReadMeetingContent(id));
    EXPECT_TRUE(page.endsWith(QStringLiteral("first<br>second</body></html>"))) << "no section";

    WriteAttendeeFile(id, {});
    WriteTodoFile(id, {});
    WriteMinutesFile(id, {});
    page = Page(Record(), ReadMeetingContent(" " + id + " "));
    EXPECT_EQ(page.mid(page.indexOf(attendeesHeading)), attendeesHeading + "</ol>" + todoHeading +
                                                            "</ul>" + minutesHeading +
                                                            "</font></ol></body></html>");

    const CDateTime ten(2026, 12, 1, 10, 5, 0);
    WriteAgendaFile(id, {{ten, "Open\r\nClose"}});
    WriteTodoFile(id, {{"abc", CTodoItem::high, 1},
                       {"low", CTodoItem::low, 0},
                       {"mid", CTodoItem::medium, 3},
                       {"odd", 7, 0}});
    WriteAttendeeFile(id, {"Ann", "Bob"});
    WriteMinutesFile(id, {"Agreed"});
    page = Page(Record(), ReadMeetingContent(id));
    const QString todo = QStringLiteral("<li><font face=\"Verdana\" size=\"2\" color=\"%1\">");
    EXPECT_EQ(page.mid(page.indexOf(attendeesHeading)),
              attendeesHeading + "<li>Ann</li><li>Bob</li></ol>" + agendaHeading +
                  "<tr><td width=\"10%\"><font face=\"Verdana\" size=\"2\"><b>" + FormatTime(ten) +
                  "</b></font></td><td width=\"90%\"><font face=\"Verdana\" size=\"2\">"
                  "Open<br>Close</font></td></tr></table>" +
                  todoHeading + todo.arg("red") + "<strike>abc</strike></font></li>" +
                  todo.arg("gray") + "low</font></li>" + todo.arg("black") +
                  "<strike>mid</strike></font></li>" + todo.arg("") + "odd</font></li></ul>" +
                  minutesHeading + "<li>Agreed</li></font></ol></body></html>");
}
