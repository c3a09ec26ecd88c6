#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QString>
#include <QStringList>

class QTextLayout;

#include <memory>
#include <optional>
#include <utility>

// Measures text in millimetres, as it prints: fonts are resolved at a fine
// device resolution, so the layout does not depend on the screen.
class TextMeasure {
public:
    TextMeasure();
    ~TextMeasure();
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

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
    // Metrics of the font last asked for: a block measures all its lines in one font.
    const QFontMetricsF& metrics(const QFont& font) const;

    QImage m_device;
    mutable std::optional<std::pair<QFont, QFontMetricsF>> m_lastMetrics;
    std::unique_ptr<QTextLayout> m_layout; // reused: paragraphs are wrapped one at a time
};
