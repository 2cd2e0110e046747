// Links in a recap: only web pages and mail reach the desktop.

#include "views/detail/LinkOpener.h"
#include "views/detail/MarkdownLabel.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Stands in for the desktop's URL handlers.
class OpenedLinks : public QObject {
    Q_OBJECT
public:
    OpenedLinks()
    {
        for (const char* scheme : {"http", "https", "mailto", "file", "javascript", "ftp", "data"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~OpenedLinks() override
    {
        for (const char* scheme : {"http", "https", "mailto", "file", "javascript", "ftp", "data"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

} // namespace

TEST(LinkOpener, OpensOnlyWebAndMailLinks)
{
    OpenedLinks opened;
    struct Case {
        const char* link;
        bool opens;
    } cases[] = {
        {"https://example.com/plan", true},
        {"HTTP://example.com", true},
        {"mailto:anna@example.com", true},
        {"javascript:alert(1)", false},
        {"file:///etc/passwd", false},
        {"ftp://example.com/file", false},
        {"data:text/html,<b>x</b>", false},
        {"https://", false},
        {"notes.md", false},
    };
    for (const auto& c : cases) {
        opened.urls.clear();
        EXPECT_EQ(LinkOpener::open(QUrl(QString::fromLatin1(c.link))), c.opens) << c.link;
        EXPECT_EQ(opened.urls.size(), c.opens ? 1 : 0) << c.link;
    }
}

TEST(MarkdownLabel, ShowsEscapedRichTextAndRoutesLinksThroughTheGuard)
{
    OpenedLinks opened;
    MarkdownLabel label(QStringLiteral("**Plan:** [site](https://example.com) <img src=x onerror=alert(1)>"), 13, 4);
    EXPECT_EQ(label.textFormat(), Qt::RichText);
    EXPECT_FALSE(label.openExternalLinks());
    EXPECT_TRUE(label.text().contains(QStringLiteral("&lt;img src=x onerror=alert(1)&gt;")));
    EXPECT_FALSE(label.text().contains(QStringLiteral("<img")));

    Q_EMIT label.linkActivated(QStringLiteral("https://example.com"));
    Q_EMIT label.linkActivated(QStringLiteral("javascript:alert(1)"));
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_EQ(opened.urls.first(), QUrl(QStringLiteral("https://example.com")));
}

#include "MarkdownLinkTest.moc"
