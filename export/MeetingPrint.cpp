#include "export/MeetingPrint.h"

#include "ui/Formatting.h"
#include "ui/TextConversion.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include <algorithm>
#include <vector>

namespace {

constexpr double marginMillimetres = 20.0;
// Room between the header's rule and the text, and between the text and the footer's rule.
constexpr double bandGapPoints = 8.0;
constexpr double bodyPoints = 10.0;
constexpr double titlePoints = 14.0;
constexpr double rulePoints = 0.5;

QFont PrintFont(double pointSize, bool bold = false) {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

// Points to the device's pixels.
double Pixels(const QPagedPaintDevice& device, double points) {
    return points * device.logicalDpiY() / 72.0;
}

QString DateText(const CMeeting& record) {
    return (FormatDate(record.date) + QLatin1Char(' ') + FormatTime(record.date)).trimmed();
}

// The page's old font tags ask for sizes relative to the default font, smaller than the text
// around them; on paper every text gets the default size, and the heading a larger one.
void EvenFontSizes(QTextDocument& document) {
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    QTextCharFormat size;
    size.setProperty(QTextFormat::FontSizeAdjustment, 0);
    cursor.mergeCharFormat(size);
    // The heading is the first paragraph with text. A relative size would override a point
    // size, so its fragments lose theirs.
    QTextBlock heading = document.firstBlock();
    while (heading.isValid() && heading.text().trimmed().isEmpty()) {
        heading = heading.next();
    }
    if (!heading.isValid()) {
        return;
    }
    // The fragments first, then their new formats: a change may merge or split fragments.
    std::vector<QTextFragment> fragments;
    for (auto fragment = heading.begin(); !fragment.atEnd(); ++fragment) {
        fragments.push_back(fragment.fragment());
    }
    for (const QTextFragment& fragment : fragments) {
        QTextCharFormat format = fragment.charFormat();
        format.clearProperty(QTextFormat::FontSizeAdjustment);
        format.setFontPointSize(titlePoints);
        QTextCursor part(&document);
        part.setPosition(fragment.position());
        part.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        part.setCharFormat(format);
    }
}

// The bands around the text: the title and date with a rule under them, and the page number
// with a rule over it.
struct CPageBands {
    QFont headerFont;
    QFont footerFont;
    double headerHeight = 0;
    double footerHeight = 0;
};

CPageBands MeasureBands(QPagedPaintDevice& device) {
    CPageBands bands;
    bands.headerFont = PrintFont(9, true);
    bands.footerFont = PrintFont(8);
    const double gap = Pixels(device, bandGapPoints);
    bands.headerHeight = QFontMetricsF(bands.headerFont, &device).height() + 2 * gap;
    bands.footerHeight = QFontMetricsF(bands.footerFont, &device).height() + 2 * gap;
    return bands;
}

void PaintHeader(QPainter& painter, const CPageBands& bands, double width, const QString& title,
                 const QString& date) {
    painter.setFont(bands.headerFont);
    const QFontMetricsF metrics(bands.headerFont, painter.device());
    const double lineHeight = metrics.height();
    const double dateWidth = metrics.horizontalAdvance(date);
    const double gap = metrics.horizontalAdvance(QStringLiteral("    "));
    // A long title gives way to the date, never the other way round.
    const QString shownTitle =
        metrics.elidedText(title, Qt::ElideRight, std::max(0.0, width - dateWidth - gap));
    painter.drawText(QRectF(0, 0, width, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, shownTitle);
    painter.drawText(QRectF(0, 0, width, lineHeight), Qt::AlignRight | Qt::AlignVCenter, date);
    const double ruleY = lineHeight + (bands.headerHeight - lineHeight) / 4;
    painter.drawLine(QPointF(0, ruleY), QPointF(width, ruleY));
}

void PaintFooter(QPainter& painter, const CPageBands& bands, const QRectF& band, int page,
                 int pages) {
    painter.setFont(bands.footerFont);
    const QFontMetricsF metrics(bands.footerFont, painter.device());
    const double ruleY = band.top() + (band.height() - metrics.height()) / 4;
    painter.drawLine(QPointF(band.left(), ruleY), QPointF(band.right(), ruleY));
    const QRectF textRect(band.left(), band.bottom() - metrics.height(), band.width(),
                          metrics.height());
    painter.drawText(textRect, Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Page %1 of %2").arg(page).arg(pages));
}

} // namespace

QPageSize::PageSizeId PaperForTerritory(QLocale::Territory territory) {
    switch (territory) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Belize:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::CostaRica:
    case QLocale::ElSalvador:
    case QLocale::Guatemala:
    case QLocale::Nicaragua:
    case QLocale::Panama:
    case QLocale::Philippines:
    case QLocale::PuertoRico:
    case QLocale::Venezuela:
        return QPageSize::Letter;
    default:
        return QPageSize::A4;
    }
}

QPageLayout MeetingPageLayout(const QLocale& locale) {
    const QMarginsF margins(marginMillimetres, marginMillimetres, marginMillimetres,
                            marginMillimetres);
    return QPageLayout(QPageSize(PaperForTerritory(locale.territory())), QPageLayout::Portrait,
                       margins, QPageLayout::Millimeter);
}

int PaintMeeting(QPagedPaintDevice& device, const CMeeting& record,
                 const CMeetingContent& content) {
    const CPageBands bands = MeasureBands(device);
    const QRect paintRect = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const double width = paintRect.width();
    const double bodyHeight = paintRect.height() - bands.headerHeight - bands.footerHeight;
    if (width <= 0 || bodyHeight <= 0) {
        return 0;
    }

    QTextDocument document;
    // Laid out in the device's own pixels, so that fonts keep their point sizes on paper.
    document.documentLayout()->setPaintDevice(&device);
    document.setDefaultFont(PrintFont(bodyPoints));
    document.setDocumentMargin(0);
    // A done todo's text is struck through with the page's old <strike>, which the rich text
    // engine reads as <s> only.
    document.setHtml(QString::fromUtf8(BuildMeetingPage(record, content))
                         .replace(QStringLiteral("<strike>"), QStringLiteral("<s>"))
                         .replace(QStringLiteral("</strike>"), QStringLiteral("</s>")));
    EvenFontSizes(document);
    document.setPageSize(QSizeF(width, bodyHeight));
    const int pages = std::max(document.pageCount(), 1);

    QPainter painter;
    if (!painter.begin(&device)) {
        return 0;
    }
    const QString title = ToShownText(record.title);
    const QString date = DateText(record);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage()) {
            painter.end();
            return 0;
        }
        painter.setPen(QPen(Qt::black, Pixels(device, rulePoints)));
        PaintHeader(painter, bands, width, title, date);

        painter.save();
        painter.translate(0, bands.headerHeight - page * bodyHeight);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * bodyHeight, width, bodyHeight);
        painter.setClipRect(context.clip);
        document.documentLayout()->draw(&painter, context);
        painter.restore();

        PaintFooter(painter, bands,
                    QRectF(0, bands.headerHeight + bodyHeight, width, bands.footerHeight), page + 1,
                    pages);
    }
    return painter.end() ? pages : 0;
}

QByteArray BuildMeetingPdf(const CMeeting& record, const CMeetingContent& content,
                           const QPageLayout& layout) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Tavelin"));
        writer.setTitle(ToShownText(record.title));
        writer.setPageLayout(layout);
        if (PaintMeeting(writer, record, content) == 0) {
            return {};
        }
    }
    return buffer.data();
}
