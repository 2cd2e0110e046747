#include "views/logic/RecapSections.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using RecapSections::Section;

namespace RecapSections {
inline void PrintTo(const Section& section, std::ostream* out)
{
    *out << "{" << section.title.toStdString() << " | " << section.content.toStdString() << "}";
}
} // namespace RecapSections

TEST(RecapSections, HeadingsOpenSectionsAndTheirMarkersAreRemoved)
{
    struct Case {
        const char* name;
        const char* markdown;
        QList<Section> sections;
    } cases[] = {
        {"one section", "# A\nbody", {{"A", "body"}}},
        {"both markers removed", "## Risks # 2\nbody", {{"Risks 2", "body"}}},
        {"two blanks keep one", "#  A\nbody", {{" A", "body"}}},
        {"emoji title", "# 📌 Executive Summary\nWe met.", {{"📌 Executive Summary", "We met."}}},
        {"deeper heading stays in the body", "# A\nfirst\n### Detail\nmore",
         {{"A", "first\n### Detail\nmore"}}},
        {"no blank after the sign, or a blank before it", "# A\n#tag\n # indented", {{"A", "#tag\n # indented"}}},
        {"text before the first heading dropped", "Sure! Here is your recap:\n\n# A\nbody", {{"A", "body"}}},
        {"same titles stay two cards", "# A\none\n# A\ntwo", {{"A", "one"}, {"A", "two"}}},
        {"body trimmed at both ends only", "# A\n\n  line one\n\n  line two  \n\n", {{"A", "line one\n\n  line two"}}},
        {"markers in a title stay as typed", "# **Bold** title\nx", {{"**Bold** title", "x"}}},
        {"carriage returns: titles keep theirs", "# A\r\nbody\r\n# B\r\nmore\r\n",
         {{"A\r", "body"}, {"B\r", "more"}}},
        {"no heading", "Just a paragraph.\n- and a bullet", {}},
        {"empty", "", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecapSections::parse(QString::fromUtf8(c.markdown)), c.sections) << c.name;
}

TEST(RecapSections, EmptyAndPlaceholderSectionsAreLeftOut)
{
    const QString markdown = QStringLiteral(
        "# 📌 Sintesi Esecutiva\n(Scrivi 2-3 FRASI SINTETICHE ad alto impatto)\n"
        "# 🔑 Punti Salienti\n   \n\n"
        "# 💡 Decisioni Prese\n(elenco sintetico delle decisioni)\n"
        "# ✅ Prossimi Passi\n(Compiti operativi)\n"
        "# Cosa\n(Cosa È stato deciso)\n"
        "# Kept\n(a note in brackets)\n"
        "# Also kept\nSee: frasi sintetiche (quoted)\n");
    EXPECT_EQ(RecapSections::parse(markdown),
              (QList<Section>{{"Kept", "(a note in brackets)"}, {"Also kept", "See: frasi sintetiche (quoted)"}}));
}

TEST(RecapSections, ShouldIncludeDecidesFromTheBodyAlone)
{
    struct Case {
        const char* body;
        bool included;
    } cases[] = {
        {"", false},
        {" \n\t ", false},
        {"Real content", true},
        {"(frasi sintetiche)", false},
        {"  (Elenco Sintetico)  ", false},
        {"(Cosa è stato deciso)", false},
        {"(compiti operativi: nessuno)", false},
        {"(no phrase here)", true},
        {"Compiti operativi (done)", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecapSections::shouldInclude(QString::fromUtf8(c.body)), c.included) << c.body;
}

TEST(RecapSections, EverySectionDroppedLeavesNothing)
{
    EXPECT_TRUE(RecapSections::parse(QStringLiteral("# A\n\n# B\n(Compiti operativi)")).isEmpty());
}
