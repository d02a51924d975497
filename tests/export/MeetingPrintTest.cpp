#include "export/MeetingPrint.h"
#include "export/MeetingPrintCommands.h"
#include "store/ContentFiles.h"
#include "tests/support/WidgetDriving.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <fstream>

namespace {

const std::string id = "2026120109000010";
const char* const title = "Quarterly review of the Årby depot";

// What poppler makes of a PDF file: its text, and its page count; empty when the tool failed.
QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfText(const QString& path) {
    return RunTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

int PdfPages(const QString& path) {
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                   QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(RunTool(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

bool HasPoppler() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

std::string AgendaText(int item) {
    return "Agenda item " + std::to_string(item) + ": the depot's figures for section " +
           std::to_string(item * 7);
}

class MeetingPrintTest : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        CMeeting record(CDateTime(2026, 12, 1, 9, 30, 0));
        record.id = id;
        record.title = title;
        record.venue = "Depot canteen";
        record.notes = "Bring the binders.\r\nCoffee at nine.";
        TestStore().ModifyMeeting(record);
        // Long enough for several pages.
        std::vector<CAgendaItem> agenda;
        for (int item = 1; item <= agendaItems; ++item) {
            agenda.push_back({CDateTime(2026, 12, 1, 9, item % 60, 0), AgendaText(item)});
        }
        WriteAgendaFile(id, agenda);
        WriteAttendeeFile(id, {"Ann Berg", "Sven Öst"});
        WriteTodoFile(id, {{"Order binders", 2, 1}});
        WriteMinutesFile(id, {"Figures agreed.", "Next review in March."});
    }
    // The title, every agenda text, and "Page N of M" on each of the file's M pages.
    static void ExpectWholeMeeting(const QString& path) {
        const int pages = PdfPages(path);
        EXPECT_GT(pages, 1) << "a long meeting takes more than one page";
        // The PDF may set "fi" and "ff" as ligatures.
        const QString text = PdfText(path).normalized(QString::NormalizationForm_KC);
        const QString flat = text.simplified();
        EXPECT_GE(text.count(QString::fromUtf8(title)), pages) << "the title heads every page";
        for (int page = 1; page <= pages; ++page) {
            EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)))
                << "footer of page " << page << " of " << pages;
        }
        EXPECT_FALSE(text.contains(QStringLiteral("Page %1 of").arg(pages + 1)));
        for (int item = 1; item <= agendaItems; ++item) {
            EXPECT_TRUE(flat.contains(QString::fromStdString(AgendaText(item))))
                << "agenda item " << item << " is missing or cut";
        }
        for (const char* piece : {"Depot canteen", "Sven Öst", "Order binders", "Coffee at nine.",
                                  "Next review in March."}) {
            EXPECT_TRUE(flat.contains(QString::fromUtf8(piece))) << piece;
        }
    }

    static constexpr int agendaItems = 70;
};

} // namespace

TEST(MeetingPaperTest, LetterWhereTheLocaleUsesItA4Elsewhere) {
    const std::pair<const char*, QPageSize::PageSizeId> cases[] = {
        {"en_US", QPageSize::Letter}, {"fr_CA", QPageSize::Letter}, {"es_MX", QPageSize::Letter},
        {"en_GB", QPageSize::A4},     {"de_DE", QPageSize::A4},     {"C", QPageSize::A4}};
    for (const auto& [locale, paper] : cases) {
        EXPECT_EQ(MeetingPageLayout(QLocale(QString::fromLatin1(locale))).pageSize().id(), paper)
            << locale;
    }
}

// Letter is shorter than A4: the same meeting needs at least as many pages on it, and the
// page size in the file is the one asked for.
TEST_F(MeetingPrintTest, PdfOfALongMeetingHoldsEveryAgendaTextOnNumberedPages) {
    if (!HasPoppler()) {
        GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    }
    TestServices().SetSaveFile(PathOf("review"));
    ExportMeetingPdf(TestStore(), id, TestServices(), nullptr);
    const QString path = PathOf("review.pdf");
    ASSERT_TRUE(QFile::exists(path)) << "the default extension is added";
    EXPECT_TRUE(TestServices().Shown().isEmpty()) << TestServices().Shown().join('|').toStdString();
    ExpectWholeMeeting(path);

    const CMeeting record = TestStore().GetMeeting(id);
    const CMeetingContent content = ReadMeetingContent(id);
    for (const char* locale : {"en_US", "de_DE"}) {
        const QString file = PathOf(locale) + QStringLiteral(".pdf");
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(BuildMeetingPdf(record, content,
                                  MeetingPageLayout(QLocale(QString::fromLatin1(locale)))));
        out.close();
        const QString info = RunTool(QStringLiteral("pdfinfo"), {file});
        EXPECT_TRUE(info.contains(std::string(locale) == "en_US" ? QStringLiteral("(letter)")
                                                                 : QStringLiteral("(A4)")))
            << locale << ": " << info.toStdString();
    }
    EXPECT_GE(PdfPages(PathOf("en_US.pdf")), PdfPages(PathOf("de_DE.pdf")));
}

// The print dialog is run through the services; what it accepts goes to the chosen printer,
// here a PDF file, and a cancelled dialog prints nothing.
TEST_F(MeetingPrintTest, PrintRunsThePrintDialogThenPrintsTheSamePages) {
    const QString path = PathOf("printed.pdf");
    PrintMeeting(TestStore(), id, TestServices(), nullptr);
    EXPECT_FALSE(QFile::exists(path));

    TestServices().SetDialogScript(QStringLiteral("printDialog"), [&path](QDialog& dialog) {
        QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return int(QDialog::Accepted);
    });
    PrintMeeting(TestStore(), id, TestServices(), nullptr);
    EXPECT_TRUE(TestServices().Shown().isEmpty()) << TestServices().Shown().join('|').toStdString();
    ASSERT_TRUE(QFile::exists(path));
    if (!HasPoppler()) {
        GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are not installed";
    }
    ExpectWholeMeeting(path);
}
