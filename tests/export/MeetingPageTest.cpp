#include "export/MeetingPage.h"
#include "store/ContentFiles.h"
#include "tests/support/QtTestEnvironment.h"
#include "ui/Formatting.h"

#include <QRegularExpression>

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

// The page without its style sheet, which is free to change its rules.
QString WithoutStyle(QString page) {
    page.remove(QRegularExpression(QStringLiteral("<style>.*</style>"),
                                   QRegularExpression::DotMatchesEverythingOption));
    return page;
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

TEST_F(MeetingPageTest, AMeetingWithoutListsIsTheHeaderPiecesInOrder) {
    const CMeeting record = Record();
    const QString date = FormatDate(record.date) + ' ' + FormatTime(record.date);
    const QString expected =
        "<html><head><meta charset=\"utf-8\"><title>Tavelin :: Budget</title></head><body><p>"
        "<font face=\"Verdana\" size=\"2\"><p align=\"center\"><b>Budget</b><p><b>Meeting Id : "
        "</b>R-7<p><b>Date : </b>" +
        date +
        "<p><b>Venue : </b>Room 1<p><b>Presided by : </b>Ann<p><u><b>Notes</b></u><p>"
        "first<br>second</body></html>";
    const QString page = Page(record);
    EXPECT_EQ(WithoutStyle(page), expected);
    EXPECT_LT(page.indexOf(QStringLiteral("<style>")), page.indexOf(QStringLiteral("</head>")))
        << "the style sheet stays in the head";
}

TEST_F(MeetingPageTest, MarkupInEveryStoredTextStaysText) {
    const std::string nasty = "a<&>\"'b";
    const QString escaped = QStringLiteral("a&lt;&amp;&gt;&quot;&#39;b");
    CMeeting record = Record();
    record.title = record.reference = record.venue = record.presidedBy = record.notes = nasty;
    CMeetingContent content;
    content.attendees = std::vector<std::string>{nasty};
    content.agenda = std::vector<CAgendaItem>{{CDateTime(2026, 12, 1, 10, 0, 0), nasty}};
    content.todos = std::vector<CTodoItem>{{nasty, CTodoItem::low, 0}};
    content.minutes = std::vector<std::string>{nasty + "\r\n" + nasty};
    const QString page = Page(record, content);

    EXPECT_EQ(page.count(escaped), 11) << "title twice, four fields, three lists, a minute of two";
    EXPECT_TRUE(page.contains(QStringLiteral("<title>Tavelin :: ") + escaped + "</title>"));
    EXPECT_TRUE(page.contains(escaped + "<br>" + escaped)) << "the break still becomes <br>";
    EXPECT_FALSE(page.contains(QStringLiteral("<&"))) << page.toStdString();
    EXPECT_FALSE(page.contains(QStringLiteral("'b"))) << page.toStdString();

    // Escaping an ampersand of an earlier escape again would show "&amp;lt;".
    record = Record();
    record.title = "&lt;";
    EXPECT_TRUE(Page(record).contains(QStringLiteral("<b>&amp;lt;</b>")));
}

// Control characters have no place in HTML; tabs and line breaks stay.
TEST_F(MeetingPageTest, ControlCharactersOfTextsAreLeftOut) {
    CMeeting record = Record();
    record.title = std::string("a\0b\x01"
                               "c\x1b[31md\te",
                               13);
    record.notes = "x\x1f\r\ny";
    const QByteArray page = BuildMeetingPage(record, {});
    for (const char control : {'\0', '\x01', '\x1b', '\x1f'}) {
        EXPECT_FALSE(page.contains(control)) << int(control);
    }
    EXPECT_TRUE(page.contains("<b>abc[31md\te</b>")) << page.toStdString();
    EXPECT_TRUE(page.contains("x<br>y")) << page.toStdString();
}

// A name typed on this system is UTF-8; one from an old file is Windows-1252. Both reach the
// page as the UTF-8 of what the program shows.
TEST_F(MeetingPageTest, StoredTextsOfEitherEncodingAreWrittenAsUtf8) {
    CMeetingContent content;
    content.attendees = std::vector<std::string>{"Ren\xC3\xA9", "Ren\xE9", "\x80 5"};
    const QByteArray page = BuildMeetingPage(Record(), content);
    EXPECT_TRUE(page.contains("<li>Ren\xC3\xA9</li><li>Ren\xC3\xA9</li>"));
    EXPECT_TRUE(page.contains("<li>\xE2\x82\xAC 5</li>")) << "Windows-1252 euro sign";
    EXPECT_FALSE(page.contains("Ren\xE9<")) << "no byte of the old code page is copied";
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
