#include "report/BandedReport.h"

void BandedReport::AppendLine(const QString& line)
{
    if (!detail.textBlock)
        detail.textBlock.emplace();
    detail.textBlock->paragraphs.append(line);
}

QFont ReportFont(const QString& family, qreal pointSize, bool bold)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
