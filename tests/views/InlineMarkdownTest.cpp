#include "views/logic/InlineMarkdown.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* name;
    const char* markdown;
    const char* html;
};

void check(const Case& c)
{
    EXPECT_EQ(InlineMarkdown::toHtml(QString::fromUtf8(c.markdown)), QString::fromUtf8(c.html)) << c.name;
}

} // namespace

TEST(InlineMarkdown, InlineMarkersTakeEffect)
{
    const Case cases[] = {
        {"plain", "Plain text.", "Plain text."},
        {"strong", "a **bold** word", "a <b>bold</b> word"},
        {"strong underscores", "__bold__", "<b>bold</b>"},
        {"emphasis", "an *emphasised* word", "an <i>emphasised</i> word"},
        {"emphasis underscores", "_it_", "<i>it</i>"},
        {"strong and emphasis", "***both***", "<i><b>both</b></i>"},
        {"nested", "**bold *and* more**", "<b>bold <i>and</i> more</b>"},
        {"code", "run `make test` now", "run <code>make test</code> now"},
        {"code keeps markers", "`**not bold**`", "<code>**not bold**</code>"},
        {"code with backticks inside", "`` a ` b ``", "<code>a ` b</code>"},
        {"strikethrough", "~~gone~~ and ~also~", "<s>gone</s> and <s>also</s>"},
        {"intraword underscore stays", "snake_case_name", "snake_case_name"},
        {"intraword star works", "un*frigging*believable", "un<i>frigging</i>believable"},
        {"escaped marker", "\\*not emphasis\\*", "*not emphasis*"},
        {"line breaks kept", "one\ntwo\n\nthree", "one<br>two<br><br>three"},
        {"emphasis across a line break", "*a\nb*", "<i>a<br>b</i>"},
        {"carriage returns dropped", "one\r\ntwo", "one<br>two"},
    };
    for (const auto& c : cases)
        check(c);
}

TEST(InlineMarkdown, BlockSyntaxStaysAsWritten)
{
    const Case cases[] = {
        {"bullets", "- first\n* second\n+ third", "- first<br>* second<br>+ third"},
        {"checkboxes", "- [ ] call Anna\n- [x] book room", "- [ ] call Anna<br>- [x] book room"},
        {"numbers", "1. one\n2) two", "1. one<br>2) two"},
        {"quote", "> quoted", "&gt; quoted"},
        {"deeper heading", "### Detail", "### Detail"},
        {"bullet with bold", "- **Owner:** Anna", "- <b>Owner:</b> Anna"},
        {"leading spaces", "  - nested", "  - nested"},
    };
    for (const auto& c : cases)
        check(c);
}

TEST(InlineMarkdown, LinksOpenOnlyForWebAndMail)
{
    const Case cases[] = {
        {"https", "[site](https://example.com/a?b=1&c=2)",
         "<a href=\"https://example.com/a?b=1&amp;c=2\">site</a>"},
        {"http with title", "[x](http://example.com \"Title\")", "<a href=\"http://example.com\">x</a>"},
        {"mailto", "[mail me](mailto:anna@example.com)", "<a href=\"mailto:anna@example.com\">mail me</a>"},
        {"autolink", "<https://example.com>", "<a href=\"https://example.com\">https://example.com</a>"},
        {"email autolink", "<anna@example.com>", "<a href=\"mailto:anna@example.com\">anna@example.com</a>"},
        {"bold link text", "[**big**](https://e.com)", "<a href=\"https://e.com\"><b>big</b></a>"},
        {"javascript shows text only", "[click](javascript:alert(1))", "click"},
        {"JavaScript in capitals", "[click](JAVASCRIPT:alert(1))", "click"},
        {"file", "[secret](file:///etc/passwd)", "secret"},
        {"data", "[x](data:text/html,<script>alert(1)</script>)", "x"},
        {"relative", "[notes](notes.md)", "notes"},
        {"autolink of another scheme", "<javascript:alert(1)>", "javascript:alert(1)"},
        {"http without host", "[x](http:)", "x"},
        {"quote in destination", "[x](https://e.com/\"onmouseover=\"alert(1))",
         "<a href=\"https://e.com/%22onmouseover=%22alert(1)\">x</a>"},
        {"no destination", "[just brackets] here", "[just brackets] here"},
        {"unclosed link", "[open(https://e.com", "[open(https://e.com"},
        {"unclosed destination", "[x](https://e.com", "[x](https://e.com"},
        {"image is a link to its source at most", "![alt](https://e.com/i.png)",
         "!<a href=\"https://e.com/i.png\">alt</a>"},
    };
    for (const auto& c : cases)
        check(c);
}

TEST(InlineMarkdown, HostileInputIsShownAsText)
{
    const Case cases[] = {
        {"script", "<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"img onerror", "<img src=x onerror=alert(1)>", "&lt;img src=x onerror=alert(1)&gt;"},
        {"entities stay as typed", "&lt;b&gt; &amp; &#60;", "&amp;lt;b&amp;gt; &amp;amp; &amp;#60;"},
        {"quotes", "say \"hi\" it's", "say &quot;hi&quot; it&#39;s"},
        {"html inside strong", "**<b onclick=x>**", "<b>&lt;b onclick=x&gt;</b>"},
        {"html inside code", "`<script>`", "<code>&lt;script&gt;</code>"},
        {"html in link text", "[<img src=x>](https://e.com)", "<a href=\"https://e.com\">&lt;img src=x&gt;</a>"},
        {"unclosed strong", "**never closed", "**never closed"},
        {"unclosed emphasis", "an *open one", "an *open one"},
        {"unclosed code", "`open code", "`open code"},
        {"unclosed strike", "~~open", "~~open"},
        {"three tildes", "~~~fence~~~", "~~~fence~~~"},
        {"mismatched", "**bold*", "*<i>bold</i>"},
        {"lone markers", "* _ ~ ` [ ] < > \\", "* _ ~ ` [ ] &lt; &gt; \\"},
        {"spaced markers", "a * b * c", "a * b * c"},
        {"trailing backslash", "end\\", "end\\"},
        {"backslash before newline", "one\\\ntwo", "one<br>two"},
    };
    for (const auto& c : cases)
        check(c);
}

TEST(InlineMarkdown, NoRawAngleBracketEverLeavesTheInput)
{
    // Whatever the mix, every "<" in the output opens one of our own tags.
    const QString nasty = QStringLiteral(
        "**<*_<~~<`<`[<](<https://e.com/<>)>)*<>\\<&<![CDATA[<]]><!--<-->[a](https://e.com/<x>)<a href=x>");
    const QString html = InlineMarkdown::toHtml(nasty);
    static const QStringList ours = {"<b>", "</b>", "<i>", "</i>", "<s>", "</s>", "<code>", "</code>", "<br>",
                                     "</a>", "<a href=\""};
    for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
        bool known = false;
        for (const QString& tag : ours)
            known = known || html.mid(at).startsWith(tag);
        EXPECT_TRUE(known) << html.mid(at, 20).toStdString() << " in " << html.toStdString();
    }
}

TEST(InlineMarkdown, LongRunsOfMarkersFinish)
{
    // Pairing is linear in the number of runs; brackets and backticks that
    // never close are the slow shapes a model's output could take.
    for (const char* unit : {"*a", "_ ", "[", "` ", "**a*", "[a](", "[a](x (", "[a](x \"", "``a`"}) {
        const QString input = QString::fromLatin1(unit).repeated(20000);
        const QString html = InlineMarkdown::toHtml(input);
        EXPECT_FALSE(html.isEmpty());
    }
}
