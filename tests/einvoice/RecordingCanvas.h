#pragma once

#include "einvoice/PrintCanvas.h"

#include <QList>
#include <QRect>
#include <QString>

// A canvas that keeps what a print job draws, page by page. Its text measures
// are simple and known: every character is 20 dots wide, every text 50 high.
class RecordingCanvas : public PrintCanvas {
public:
    static constexpr int kCharWidth = 20;
    static constexpr int kTextHeight = 50;

    struct Text {
        int page;
        int x;
        int y;
        QString text;
        QString font; // "name size [bold]"
        QRect clip; // null for a text drawn unclipped
    };
    struct Line {
        int page;
        QPoint from;
        QPoint to;
    };

    RecordingCanvas(int pageWidth, int pageHeight, int resolution);

    int PageWidth() const override { return m_pageWidth; }
    int PageHeight() const override { return m_pageHeight; }
    int Resolution() const override { return m_resolution; }

    void BeginDoc(const QString& documentName) override;
    void NewPage() override;
    void EndDoc() override;
    void SetPenColor(const QColor& color) override;
    void SetFont(const QString& name, int pointSize, bool bold) override;
    int TextWidth(const QString& text) override { return kCharWidth * int(text.size()); }
    int TextHeight(const QString&) override { return kTextHeight; }
    void TextOut(int x, int y, const QString& text) override;
    void TextRect(const QRect& rect, int x, int y, const QString& text) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;

    QString documentName;
    int pages = 0;
    bool ended = false;
    QColor penColor;
    QList<Text> texts;
    QList<Line> lines;

    // The drawn texts equal to this one, in drawing order.
    QList<Text> textsEqualTo(const QString& text) const;

private:
    int m_pageWidth;
    int m_pageHeight;
    int m_resolution;
    QString m_font;
    QPoint m_pen;
};
