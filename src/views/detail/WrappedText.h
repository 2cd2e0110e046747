#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringView>

#include <unordered_map>

// Greedy word wrapping with the width of every word measured once per font
// (the measured widths are shared by every user of the same font). Shaping
// each row's text costs tens of microseconds; a transcript repeats its words,
// so measuring words from a cache sizes thousands of rows in a few
// milliseconds. Lines break at spaces and tabs and at line feeds; a word wider
// than the line breaks between characters. Painting uses the same lines, so
// what is drawn always fits the height that was measured.
class WrappedText {
public:
    struct Line {
        qsizetype start = 0;
        qsizetype length = 0;
    };

    WrappedText(const QFont& font, qreal extraLineSpacing);

    const QFont& font() const { return m_font; }
    QList<Line> lines(const QString& text, qreal width);
    // The width of a piece of text without breaks, measured once.
    qreal advance(QStringView piece);

    // Looked up by view, so measuring a word never copies it.
    struct PieceHash {
        using is_transparent = void;
        size_t operator()(QStringView piece) const noexcept { return qHash(piece); }
    };
    struct PieceEqual {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const noexcept { return a == b; }
    };
    using Advances = std::unordered_map<QString, qreal, PieceHash, PieceEqual>;
    qreal height(qsizetype lineCount) const;
    // From one line's top to the next one's.
    qreal lineStep() const { return m_metrics.lineSpacing() + m_extraLineSpacing; }

private:
    void breakLongWord(const QString& text, qsizetype start, qsizetype end, qreal width, QList<Line>& lines,
                       Line& current, qreal& currentWidth);

    QFont m_font;
    QFontMetricsF m_metrics;
    qreal m_extraLineSpacing;
    Advances* m_advances; // shared by font
};
