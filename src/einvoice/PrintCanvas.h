#pragma once

#include <QColor>
#include <QRect>
#include <QString>

// The drawing surface of a print job, in printer dots from the top-left corner
// of the printable area; a text position is the top-left corner of the text.
// The background is white and text is drawn opaque on it.
class PrintCanvas {
public:
    virtual ~PrintCanvas() = default;

    // The printer's measures: printable width and height in dots, dots per inch.
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int Resolution() const = 0;

    virtual void BeginDoc(const QString& documentName) = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;

    virtual void SetPenColor(const QColor& color) = 0;
    virtual void SetFont(const QString& name, int pointSize, bool bold) = 0;
    virtual int TextWidth(const QString& text) = 0;
    virtual int TextHeight(const QString& text) = 0;
    virtual void TextOut(int x, int y, const QString& text) = 0;
    // Fills the rectangle with the background, then draws the text clipped to it.
    virtual void TextRect(const QRect& rect, int x, int y, const QString& text) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
};
