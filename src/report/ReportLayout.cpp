#include "report/ReportLayout.h"

#include "report/TextMeasure.h"

namespace {

class Paginator {
public:
    explicit Paginator(const BandedReport& report)
        : m_report(report)
    {
        m_result.paper = report.paper;
        m_detailTop = report.margins.top() + report.pageHeader.height;
        m_footerTop = report.paper.height() - report.margins.bottom() - report.pageFooter.height;
    }

    ReportPages Run()
    {
        startPage();
        placeBand(m_report.detail, m_detailTop);
        if (const auto& block = m_report.detail.textBlock)
            placeTextBlock(*block);
        return std::move(m_result);
    }

private:
    void startPage()
    {
        m_result.pages.emplace_back();
        const int pageNumber = int(m_result.pages.size());
        placeBand(m_report.pageHeader, m_report.margins.top(), pageNumber);
        placeBand(m_report.pageFooter, m_footerTop, pageNumber);
    }

    void place(const QPointF& topLeft, const QFont& font, const QString& text)
    {
        m_result.pages.back().texts.push_back({ topLeft, font, text });
    }

    void placeBand(const ReportBand& band, qreal top, int pageNumber = 0)
    {
        const QPointF origin(m_report.margins.left(), top);
        for (const ReportLabel& label : band.labels)
            place(origin + label.position, label.font, label.text);
        for (const ReportPageNumber& field : band.pageNumbers)
            place(origin + field.position, field.font, QString::number(pageNumber));
    }

    void placeTextBlock(const ReportTextBlock& block)
    {
        const qreal lineHeight = m_measure.LineHeight(block.font);
        const qreal left = m_report.margins.left() + block.geometry.left();
        const qreal top = m_detailTop + block.geometry.top();
        qreal y = top;
        for (const QString& paragraph : block.paragraphs) {
            for (const QString& line : m_measure.Wrap(block.font, paragraph, block.geometry.width())) {
                // A page takes at least one line, so a line taller than a page cannot stop the report.
                if (y + lineHeight > m_footerTop && y > top) {
                    startPage();
                    y = top;
                }
                place(QPointF(left, y), block.font, line);
                y += lineHeight;
            }
        }
    }

    const BandedReport& m_report;
    TextMeasure m_measure;
    ReportPages m_result;
    qreal m_detailTop = 0;
    qreal m_footerTop = 0;
};

} // namespace

ReportPages LayOutReport(const BandedReport& report)
{
    return Paginator(report).Run();
}
