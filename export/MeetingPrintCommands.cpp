#include "export/MeetingPrintCommands.h"

#include "export/ExportFile.h"
#include "export/MeetingPage.h"
#include "export/MeetingPrint.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QPrintDialog>
#include <QPrinter>

void PrintMeeting(const CMeetingStore& store, const std::string& id, CDesktopServices& services,
                  QWidget* parent) {
    const CMeeting record = store.GetMeeting(id);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(MeetingPageLayout(QLocale::system()));
    printer.setDocName(ToShownText(record.title));
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (services.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    if (PaintMeeting(printer, record, ReadMeetingContent(id)) == 0) {
        services.ReportError(QStringLiteral("The meeting could not be printed on %1.")
                                 .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                                      : printer.printerName()),
                             parent);
    }
}

std::optional<QString> ExportMeetingPdf(const CMeetingStore& store, const std::string& id,
                                        CDesktopServices& services, QWidget* parent) {
    const CMeeting record = store.GetMeeting(id);
    const QString extension = QStringLiteral("pdf");
    const std::optional<QString> path =
        PickExportFile(services, QStringLiteral("PDF Files (*.pdf)"), extension, parent,
                       ExportFileName(ToShownText(record.title), extension));
    if (!path) {
        return std::nullopt;
    }
    const QByteArray pdf =
        BuildMeetingPdf(record, ReadMeetingContent(id), MeetingPageLayout(QLocale::system()));
    if (pdf.isEmpty()) {
        services.ReportError(QStringLiteral("The meeting could not be laid out as a PDF."), parent);
        return std::nullopt;
    }
    if (!WriteExportFile(*path, pdf, services, parent)) {
        return std::nullopt;
    }
    return path;
}
