#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>

// Measures text in millimetres, as it prints: fonts are resolved at a fine
// device resolution, so the layout does not depend on the screen.
class TextMeasure {
public:
    TextMeasure();

    qreal LineHeight(const QFont& font) const;
    qreal Ascent(const QFont& font) const;
    qreal Width(const QFont& font, const QString& text) const;
    // The lines of a paragraph wrapped within the width, at word boundaries
    // where it can and anywhere where a word alone is too wide; an empty
    // paragraph is one empty line.
    QStringList Wrap(const QFont& font, const QString& paragraph, qreal width) const;

private:
    qreal toMillimetres(qreal dots) const;
    qreal toDots(qreal millimetres) const;

    QImage m_device;
};
