#include "common/TextSearch.h"

#include "support/QtPrinters.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

// The fast test answers as Qt's own case-insensitive contains, also for the
// characters whose folding crosses into ASCII and for text that is not ASCII.
TEST(TextSearch, AnswersAsQtsCaseInsensitiveContains)
{
    const QString kelvin(QChar(0x212A));
    const QString longS(QChar(0x017F));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // a pair of surrogates
    struct Case {
        QString haystack;
        QString needle;
    } cases[] = {
        {"We went over the BUDGET today.", "budget"},
        {"We went over the budget today.", "BUDGET"},
        {"budge", "budget"},
        {"", "a"},
        {"abc", ""},
        {"the " + kelvin + "elvin scale", "kelvin"},
        {"mi" + longS + longS + "ion", "MISSION"},
        {"STRASSE", QString::fromUtf8("stra\xC3\x9F" "e")},
        {QString::fromUtf8("stra\xC3\x9F" "e"), "strasse"},
        {QString::fromUtf8("\xC4\xB0stanbul"), "istanbul"},
        {QString::fromUtf8("\xCE\xA3\xCE\x99\xCE\xA3\xCE\xA5\xCE\xA6\xCE\x9F\xCE\xA3"), QString::fromUtf8("\xCF\x83\xCE\xB9")},
        {"smile " + emoji + " please", emoji + " PLEASE"},
        {"a" + emoji.left(1) + "b", "ab"},
        {"tail match at the very end xyz", "XYZ"},
        {"x", "X"},
        {"1234567890", "7890"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextSearch::containsIgnoringCase(c.haystack, c.needle), c.haystack.contains(c.needle, Qt::CaseInsensitive))
            << c.haystack.toStdString() << " / " << c.needle.toStdString();
    }

    // Random texts over an alphabet rich in the awkward characters, at every
    // length around the eight- and sixteen-character steps.
    const QList<QChar> alphabet{u'a', u'b', u'k', u'K', u's', u'S', u' ', u'1', QChar(0x212A), QChar(0x017F),
                                QChar(0x00DF), QChar(0x0130), QChar(0x0131), QChar(0xD83D), QChar(0xDE00), QChar(0x00E9)};
    QRandomGenerator random(17);
    const auto text = [&](int length, qsizetype letters) {
        QString s;
        for (int i = 0; i < length; ++i)
            s += alphabet[int(random.bounded(letters))];
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const QString haystack = text(int(random.bounded(80)), alphabet.size());
        // Half the needles are ASCII (the fast way), half are cut from the text itself.
        QString needle = text(1 + int(random.bounded(4)), round % 2 ? 8 : alphabet.size());
        if (round % 4 == 0 && haystack.size() > 4)
            needle = haystack.mid(random.bounded(haystack.size() - 4), 1 + random.bounded(4)).toUpper();
        ASSERT_EQ(TextSearch::containsIgnoringCase(haystack, needle), haystack.contains(needle, Qt::CaseInsensitive))
            << round;
    }
}
