#pragma once

#include "einvoice/PrintCanvas.h"

#include <QFont>
#include <QPainter>
#include <QPoint>

#include <memory>

class QPrinter;

// The current printer: the system's default one. Fails with a print error when
// there is none, before anything is printed.
std::unique_ptr<QPrinter> DefaultPrinter();

// A print job's canvas on a printer, drawn with QPainter.
class PrinterCanvas : public PrintCanvas {
public:
    explicit PrinterCanvas(QPrinter& printer);

    int PageWidth() const override;
    int PageHeight() const override;
    int Resolution() const override;

    void BeginDoc(const QString& documentName) override;
    void NewPage() override;
    void EndDoc() override;

    void SetPenColor(const QColor& color) override;
    void SetFont(const QString& name, int pointSize, bool bold) override;
    int TextWidth(const QString& text) override;
    int TextHeight(const QString& text) override;
    void TextOut(int x, int y, const QString& text) override;
    void TextRect(const QRect& rect, int x, int y, const QString& text) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;

private:
    void drawOpaqueText(int x, int y, const QString& text);

    QPrinter& m_printer;
    QPainter m_painter;
    QFont m_font;
    QPoint m_penPosition;
};
