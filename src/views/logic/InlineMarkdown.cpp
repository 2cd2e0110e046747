#include "views/logic/InlineMarkdown.h"

#include "views/logic/LinkPolicy.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <array>
#include <vector>

// A small CommonMark inline parser: code spans, backslash escapes, autolinks
// and links are recognised while scanning; emphasis, strong and strikethrough
// are paired afterwards with the delimiter-run rules (flanking, the rule of
// three), so nesting always comes out balanced.
namespace InlineMarkdown {

namespace {

struct Piece {
    enum class Kind { text, html, lineBreak, delimiter };
    Kind kind = Kind::text;
    QString text; // literal text, or ready HTML for html pieces
    // Delimiter runs.
    QChar marker;
    int count = 0;
    int original = 0;
    bool canOpen = false;
    bool canClose = false;
    QStringList closeTags; // in the order the runs were paired
    QStringList openTags;
};

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '&': out += QLatin1String("&amp;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        case '\r': break; // a carriage return before a line feed is no text
        default: out += c;
        }
    }
    return out;
}

bool isAsciiPunctuation(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '!' && u <= '/') || (u >= ':' && u <= '@') || (u >= '[' && u <= '`') || (u >= '{' && u <= '~');
}

bool isPunctuation(QChar c)
{
    return c.isPunct() || c.isSymbol() || isAsciiPunctuation(c);
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString linkHtml(const QString& destination, const QString& innerHtml)
{
    const QUrl url(destination, QUrl::TolerantMode);
    if (!LinkPolicy::isOpenable(url))
        return innerHtml;
    return QStringLiteral("<a href=\"") + escaped(url.toString(QUrl::FullyEncoded)) + QStringLiteral("\">")
        + innerHtml + QStringLiteral("</a>");
}

class Parser {
public:
    Parser(const QString& source, qsizetype begin, qsizetype end, bool allowLinks)
        : s(source)
        , m_begin(begin)
        , m_end(end)
        , m_allowLinks(allowLinks)
    {
    }

    QString html()
    {
        scan();
        pairDelimiters();
        return render();
    }

private:
    const QString& s;
    const qsizetype m_begin;
    const qsizetype m_end;
    const bool m_allowLinks;
    std::vector<Piece> m_pieces;
    std::vector<qsizetype> m_bracketClose;
    // Where a title's closing character no longer occurs, by kind of quote,
    // so unclosed titles are not searched again and again.
    mutable std::array<qsizetype, 3> m_titleUnclosedFrom = {-1, -1, -1};

    QChar at(qsizetype i) const { return (i >= m_begin && i < m_end) ? s.at(i) : QChar(); }

    void appendText(const QString& text)
    {
        if (!m_pieces.empty() && m_pieces.back().kind == Piece::Kind::text)
            m_pieces.back().text += text;
        else
            m_pieces.push_back({Piece::Kind::text, text});
    }

    void appendHtml(const QString& html) { m_pieces.push_back({Piece::Kind::html, html}); }

    qsizetype runLength(qsizetype i, QChar c) const
    {
        qsizetype j = i;
        while (j < m_end && s.at(j) == c)
            ++j;
        return j - i;
    }

    // Start of the closing backtick run of exactly `length`, or -1.
    qsizetype codeSpanClose(qsizetype from, qsizetype length) const
    {
        qsizetype j = from;
        while (j < m_end) {
            if (s.at(j) == QLatin1Char('`')) {
                const qsizetype run = runLength(j, QLatin1Char('`'));
                if (run == length)
                    return j;
                j += run;
            } else {
                ++j;
            }
        }
        return -1;
    }

    void scan()
    {
        if (m_allowLinks)
            pairBrackets();
        qsizetype i = m_begin;
        while (i < m_end) {
            const QChar c = s.at(i);
            if (c == QLatin1Char('\\')) {
                const QChar next = at(i + 1);
                if (!next.isNull() && isAsciiPunctuation(next)) {
                    appendText(QString(next));
                    i += 2;
                } else if (next == QLatin1Char('\n')) {
                    m_pieces.push_back({Piece::Kind::lineBreak});
                    i += 2;
                } else {
                    appendText(QString(c));
                    ++i;
                }
            } else if (c == QLatin1Char('`')) {
                i = scanCode(i);
            } else if (c == QLatin1Char('<')) {
                i = scanAutolink(i);
            } else if (c == QLatin1Char('[') && m_allowLinks) {
                i = scanLink(i);
            } else if (c == QLatin1Char('*') || c == QLatin1Char('_') || c == QLatin1Char('~')) {
                i = scanDelimiterRun(i);
            } else if (c == QLatin1Char('\n')) {
                m_pieces.push_back({Piece::Kind::lineBreak});
                ++i;
            } else {
                qsizetype j = i + 1;
                while (j < m_end && !isSpecial(s.at(j)))
                    ++j;
                appendText(s.mid(i, j - i));
                i = j;
            }
        }
    }

    static bool isSpecial(QChar c)
    {
        switch (c.unicode()) {
        case '\\': case '`': case '<': case '[': case '*': case '_': case '~': case '\n':
            return true;
        default:
            return false;
        }
    }

    qsizetype scanCode(qsizetype i)
    {
        const qsizetype length = runLength(i, QLatin1Char('`'));
        const qsizetype close = codeSpanClose(i + length, length);
        if (close < 0) {
            appendText(QString(length, QLatin1Char('`')));
            return i + length;
        }
        QString code = s.mid(i + length, close - i - length);
        // One space on each side is padding, unless the span is all spaces.
        if (code.size() >= 2 && code.startsWith(QLatin1Char(' ')) && code.endsWith(QLatin1Char(' '))
            && !code.trimmed().isEmpty())
            code = code.mid(1, code.size() - 2);
        QString html = escaped(code);
        html.replace(QLatin1Char('\n'), QLatin1String("<br>"));
        appendHtml(QStringLiteral("<code>") + html + QStringLiteral("</code>"));
        return close + length;
    }

    // <scheme:...> or <name@host>; anything else is a literal "<".
    qsizetype scanAutolink(qsizetype i)
    {
        qsizetype j = i + 1;
        while (j < m_end && s.at(j) != QLatin1Char('>') && s.at(j) != QLatin1Char('<') && !s.at(j).isSpace()
               && s.at(j).unicode() >= 0x20)
            ++j;
        if (j >= m_end || s.at(j) != QLatin1Char('>') || j == i + 1) {
            appendText(QStringLiteral("<"));
            return i + 1;
        }
        const QString inside = s.mid(i + 1, j - i - 1);
        if (isUriAutolink(inside)) {
            appendHtml(linkHtml(inside, escaped(inside)));
            return j + 1;
        }
        if (isEmailAutolink(inside)) {
            appendHtml(linkHtml(QStringLiteral("mailto:") + inside, escaped(inside)));
            return j + 1;
        }
        appendText(QStringLiteral("<"));
        return i + 1;
    }

    static bool isUriAutolink(const QString& text)
    {
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        if (colon < 2 || colon > 32 || !isAsciiLetter(text.at(0)))
            return false;
        for (qsizetype k = 1; k < colon; ++k) {
            const QChar c = text.at(k);
            if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != QLatin1Char('+') && c != QLatin1Char('.')
                && c != QLatin1Char('-'))
                return false;
        }
        return true;
    }

    static bool isEmailAutolink(const QString& text)
    {
        const qsizetype at = text.indexOf(QLatin1Char('@'));
        if (at <= 0 || at == text.size() - 1 || text.indexOf(QLatin1Char('@'), at + 1) >= 0)
            return false;
        static const QString localExtra = QStringLiteral(".!#$%&'*+/=?^_`{|}~-");
        for (qsizetype k = 0; k < at; ++k) {
            const QChar c = text.at(k);
            if (!isAsciiLetter(c) && !isAsciiDigit(c) && !localExtra.contains(c))
                return false;
        }
        for (const QString& label : text.mid(at + 1).split(QLatin1Char('.'))) {
            if (label.isEmpty() || label.size() > 63 || label.startsWith(QLatin1Char('-'))
                || label.endsWith(QLatin1Char('-')))
                return false;
            for (const QChar c : label) {
                if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != QLatin1Char('-'))
                    return false;
            }
        }
        return true;
    }

    // [text](destination "title"): the text is parsed on its own, without links.
    qsizetype scanLink(qsizetype i)
    {
        const qsizetype close = matchingBracket(i);
        QString destination;
        qsizetype after = -1;
        if (close >= 0 && at(close + 1) == QLatin1Char('('))
            after = parseDestination(close + 2, destination);
        if (after < 0) {
            appendText(QStringLiteral("["));
            return i + 1;
        }
        const QString inner = Parser(s, i + 1, close, false).html();
        appendHtml(linkHtml(destination, inner));
        return after;
    }

    // Every "[" paired with its "]" in one pass, skipping escapes and code
    // spans, so a text full of brackets is not rescanned for each of them.
    void pairBrackets()
    {
        m_bracketClose.assign(static_cast<size_t>(m_end - m_begin), -1);
        std::vector<qsizetype> open;
        qsizetype j = m_begin;
        while (j < m_end) {
            const QChar c = s.at(j);
            if (c == QLatin1Char('\\')) {
                j += 2;
                continue;
            }
            if (c == QLatin1Char('`')) {
                const qsizetype length = runLength(j, c);
                const qsizetype codeClose = codeSpanClose(j + length, length);
                j = codeClose < 0 ? j + length : codeClose + length;
                continue;
            }
            if (c == QLatin1Char('[')) {
                open.push_back(j);
            } else if (c == QLatin1Char(']') && !open.empty()) {
                m_bracketClose[static_cast<size_t>(open.back() - m_begin)] = j;
                open.pop_back();
            }
            ++j;
        }
    }

    qsizetype matchingBracket(qsizetype open) const
    {
        return m_bracketClose[static_cast<size_t>(open - m_begin)];
    }

    void skipBlanks(qsizetype& j) const
    {
        bool lineBreak = false;
        while (j < m_end && (s.at(j) == QLatin1Char(' ') || s.at(j) == QLatin1Char('\t')
                             || (s.at(j) == QLatin1Char('\n') && !lineBreak))) {
            lineBreak = lineBreak || s.at(j) == QLatin1Char('\n');
            ++j;
        }
    }

    // After "(": destination, optional title, ")". Returns the index after
    // ")" or -1 when this is no link.
    qsizetype parseDestination(qsizetype j, QString& destination) const
    {
        skipBlanks(j);
        if (at(j) == QLatin1Char('<')) {
            ++j;
            while (j < m_end && s.at(j) != QLatin1Char('>')) {
                if (s.at(j) == QLatin1Char('\n') || s.at(j) == QLatin1Char('<'))
                    return -1;
                if (s.at(j) == QLatin1Char('\\') && isAsciiPunctuation(at(j + 1)))
                    ++j;
                destination += s.at(j);
                ++j;
            }
            if (j >= m_end)
                return -1;
            ++j;
        } else {
            int parens = 0;
            while (j < m_end) {
                const QChar c = s.at(j);
                if (c.isSpace() || c.unicode() < 0x20)
                    break;
                if (c == QLatin1Char('\\') && isAsciiPunctuation(at(j + 1))) {
                    destination += s.at(j + 1);
                    j += 2;
                    continue;
                }
                // Deeper nesting is no link (as in cmark), which also bounds
                // the work for a text of unclosed "(".
                if (c == QLatin1Char('(') && ++parens > 32)
                    return -1;
                if (c == QLatin1Char(')') && parens-- == 0)
                    break;
                destination += c;
                ++j;
            }
            if (parens > 0)
                return -1;
        }
        const qsizetype beforeBlanks = j;
        skipBlanks(j);
        const QChar quote = at(j);
        const bool opensTitle = quote == QLatin1Char('"') || quote == QLatin1Char('\'') || quote == QLatin1Char('(');
        if (j > beforeBlanks && opensTitle) {
            const QChar closing = quote == QLatin1Char('(') ? QLatin1Char(')') : quote;
            const int kind = quote == QLatin1Char('"') ? 0 : quote == QLatin1Char('\'') ? 1 : 2;
            qsizetype& unclosedFrom = m_titleUnclosedFrom[kind];
            if (unclosedFrom >= 0 && j >= unclosedFrom)
                return -1;
            const qsizetype titleStart = j;
            ++j;
            while (j < m_end && s.at(j) != closing) {
                if (s.at(j) == QLatin1Char('\\'))
                    ++j;
                ++j;
            }
            if (j >= m_end) {
                unclosedFrom = titleStart;
                return -1;
            }
            ++j;
            skipBlanks(j);
        }
        if (at(j) != QLatin1Char(')'))
            return -1;
        return j + 1;
    }

    qsizetype scanDelimiterRun(qsizetype i)
    {
        const QChar marker = s.at(i);
        const qsizetype length = runLength(i, marker);
        // Only one or two tildes strike through.
        if (marker == QLatin1Char('~') && length > 2) {
            appendText(QString(length, marker));
            return i + length;
        }
        const QChar before = at(i - 1);
        const QChar after = at(i + length);
        const bool beforeSpace = before.isNull() || before.isSpace();
        const bool afterSpace = after.isNull() || after.isSpace();
        const bool beforePunct = !before.isNull() && isPunctuation(before);
        const bool afterPunct = !after.isNull() && isPunctuation(after);
        const bool leftFlanking = !afterSpace && (!afterPunct || beforeSpace || beforePunct);
        const bool rightFlanking = !beforeSpace && (!beforePunct || afterSpace || afterPunct);

        Piece piece;
        piece.kind = Piece::Kind::delimiter;
        piece.marker = marker;
        piece.count = piece.original = static_cast<int>(std::min<qsizetype>(length, 1 << 20));
        if (marker == QLatin1Char('_')) {
            // No emphasis inside words with underscores (snake_case stays).
            piece.canOpen = leftFlanking && (!rightFlanking || beforePunct);
            piece.canClose = rightFlanking && (!leftFlanking || afterPunct);
        } else {
            piece.canOpen = leftFlanking;
            piece.canClose = rightFlanking;
        }
        m_pieces.push_back(piece);
        return i + length;
    }

    static int markerIndex(QChar marker)
    {
        return marker == QLatin1Char('*') ? 0 : marker == QLatin1Char('_') ? 1 : 2;
    }

    // The delimiter-run pairing of CommonMark, over a linked list of the runs.
    void pairDelimiters()
    {
        std::vector<size_t> runs;
        for (size_t k = 0; k < m_pieces.size(); ++k) {
            if (m_pieces[k].kind == Piece::Kind::delimiter)
                runs.push_back(k);
        }
        const int n = static_cast<int>(runs.size());
        std::vector<int> prev(n), next(n);
        for (int k = 0; k < n; ++k) {
            prev[k] = k - 1;
            next[k] = k + 1 < n ? k + 1 : -1;
        }
        auto unlink = [&](int k) {
            if (prev[k] >= 0)
                next[prev[k]] = next[k];
            if (next[k] >= 0)
                prev[next[k]] = prev[k];
        };
        // Lowest place worth searching for an opener, by marker, closer
        // length mod 3 and whether the closer can open.
        std::array<std::array<std::array<int, 2>, 3>, 3> bottom;
        for (auto& byMod : bottom)
            for (auto& byOpen : byMod)
                byOpen = {-1, -1};

        int closer = n > 0 ? 0 : -1;
        while (closer >= 0) {
            Piece& c = m_pieces[runs[closer]];
            if (!c.canClose || c.count == 0) {
                closer = next[closer];
                continue;
            }
            int& floor = bottom[markerIndex(c.marker)][c.original % 3][c.canOpen ? 1 : 0];
            int opener = -1;
            for (int o = prev[closer]; o >= 0 && o > floor; o = prev[o]) {
                const Piece& p = m_pieces[runs[o]];
                if (p.marker != c.marker || !p.canOpen || p.count == 0)
                    continue;
                if (c.marker == QLatin1Char('~')) {
                    if (p.count != c.count)
                        continue;
                } else if ((p.canClose || c.canOpen) && (p.original + c.original) % 3 == 0
                           && !(p.original % 3 == 0 && c.original % 3 == 0)) {
                    continue;
                }
                opener = o;
                break;
            }
            if (opener < 0) {
                floor = prev[closer];
                const int following = next[closer];
                if (!c.canOpen)
                    unlink(closer);
                closer = following;
                continue;
            }
            Piece& p = m_pieces[runs[opener]];
            int use = 1;
            QString tag;
            if (c.marker == QLatin1Char('~')) {
                use = c.count;
                tag = QStringLiteral("s");
            } else {
                use = (p.count >= 2 && c.count >= 2) ? 2 : 1;
                tag = use == 2 ? QStringLiteral("b") : QStringLiteral("i");
            }
            p.openTags.append(tag);
            c.closeTags.append(tag);
            p.count -= use;
            c.count -= use;
            // Runs between the pair are literal from now on.
            next[opener] = closer;
            prev[closer] = opener;
            if (p.count == 0)
                unlink(opener);
            if (c.count == 0) {
                const int following = next[closer];
                unlink(closer);
                closer = following;
            }
        }
    }

    QString render() const
    {
        QString out;
        for (const Piece& piece : m_pieces) {
            switch (piece.kind) {
            case Piece::Kind::text:
                out += escaped(piece.text);
                break;
            case Piece::Kind::html:
                out += piece.text;
                break;
            case Piece::Kind::lineBreak:
                out += QLatin1String("<br>");
                break;
            case Piece::Kind::delimiter:
                for (const QString& tag : piece.closeTags)
                    out += QStringLiteral("</") + tag + QLatin1Char('>');
                out += escaped(QString(piece.count, piece.marker));
                for (auto tag = piece.openTags.crbegin(); tag != piece.openTags.crend(); ++tag)
                    out += QLatin1Char('<') + *tag + QLatin1Char('>');
                break;
            }
        }
        return out;
    }
};

} // namespace

QString toHtml(const QString& markdown)
{
    return Parser(markdown, 0, markdown.size(), true).html();
}

} // namespace InlineMarkdown
