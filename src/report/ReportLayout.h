#pragma once

#include "report/BandedReport.h"

#include <QFont>
#include <QPointF>
#include <QString>

#include <vector>

// A text placed on a page: its top-left corner in millimetres from the top-left
// corner of the paper.
struct PlacedText {
    QPointF topLeft;
    QFont font;
    QString text;
};

struct ReportPage {
    std::vector<PlacedText> texts;
};

struct ReportPages {
    QSizeF paper; // millimetres
    std::vector<ReportPage> pages;
};

// Lays the report out into pages. Each page holds the page header at its top
// margin and the page footer above its bottom margin. The detail band follows
// the first page's header; its text block takes its lines down to the top of
// the page footer and goes on, on the next page, at the same place below that
// page's header. A report always has at least one page.
ReportPages LayOutReport(const BandedReport& report);
