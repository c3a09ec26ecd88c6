#pragma once

#include <QFont>
#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A banded report definition, every length in millimetres. Positions inside a
// band are from the band's top-left corner. The page header and the page
// footer stand on every page; the detail band is printed once, and its text
// block grows with its paragraphs and continues on the following pages.

// A fixed text, as wide as itself.
struct ReportLabel {
    QPointF position;
    QFont font; // sized in points
    QString text;
};

// The current page number in decimal, counting from 1.
struct ReportPageNumber {
    QPointF position;
    QFont font;
};

// Paragraphs of text, left-aligned and wrapped within the block's width; the
// block is at least as high as designed and grows with its text.
struct ReportTextBlock {
    QRectF geometry;
    QFont font;
    QStringList paragraphs;
};

struct ReportBand {
    qreal height = 0;
    std::vector<ReportLabel> labels;
    std::vector<ReportPageNumber> pageNumbers;
    std::optional<ReportTextBlock> textBlock; // the detail band's growing block
};

struct BandedReport {
    QSizeF paper { 210, 297 }; // A4 portrait
    QMarginsF margins; // left, top, right, bottom
    ReportBand pageHeader;
    ReportBand detail;
    ReportBand pageFooter;

    // Adds one paragraph at the end of the detail band's text block.
    void AppendLine(const QString& line);
};

// A font sized in points, as the report's elements name them.
QFont ReportFont(const QString& family, qreal pointSize, bool bold = false);
