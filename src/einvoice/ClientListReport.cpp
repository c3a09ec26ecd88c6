#include "einvoice/ClientListReport.h"

namespace {

const QString kArial = QStringLiteral("Arial");
const QString kCourierNew = QStringLiteral("Courier New");

constexpr qreal kReportPoints = 10;
constexpr qreal kCaptionPoints = 8;
constexpr qreal kClientLinePoints = 9 * 72.0 / 96; // 9-pixel characters at 96 pixels per inch

ReportLabel caption(qreal left, qreal top, const QString& text)
{
    return { QPointF(left, top), ReportFont(kCourierNew, kCaptionPoints), text };
}

} // namespace

BandedReport ClientListReport()
{
    BandedReport report;
    report.paper = QSizeF(210, 297);
    report.margins = QMarginsF(5, 10, 5, 10);

    report.pageHeader.height = 26.19;
    report.pageHeader.labels = {
        { QPointF(61.38, 2.12), ReportFont(kArial, kReportPoints),
            QStringLiteral("Client ayant opté pour la facture numérique") },
        caption(0, 14.82, QStringLiteral("Num")),
        caption(0, 18.26, QStringLiteral("Client")),
        caption(14.82, 14.82, QStringLiteral("Nom")),
        caption(61.12, 14.82, QStringLiteral("Adresse")),
        caption(147.90, 14.82, QStringLiteral("Code")),
        caption(147.90, 18.79, QStringLiteral("Postal")),
        caption(163.25, 14.82, QStringLiteral("Ville")),
    };

    report.detail.height = 29.90;
    report.detail.textBlock
        = ReportTextBlock { QRectF(0, 2.12, 188.65, 26.46), ReportFont(kCourierNew, kClientLinePoints), {} };

    report.pageFooter.height = 10.58;
    report.pageFooter.pageNumbers = { { QPointF(93.13, 4.23), ReportFont(kArial, kReportPoints) } };
    return report;
}
