#include "engines/recap/RecapCleaner.h"

#include <gtest/gtest.h>

TEST(RecapCleaner, CutsWhatIsNotRecap)
{
    struct Case {
        const char* name;
        const char* output;
        const char* recap;
    } cases[] = {
        {"plain recap is only trimmed", "\n  # 🔑 Key Takeaways\n- a\n\n", "# 🔑 Key Takeaways\n- a"},
        {"text after the first model turn, later markers kept",
         "echo<start_of_turn>model\nA<start_of_turn>model\nB", "A<start_of_turn>model\nB"},
        {"only the model turn and white space", "<start_of_turn>model\n \n\t\n", ""},
        {"chatter before the meeting header",
         "Sure, here is the recap:\n# 📌 Executive Summary\nWe ship.\n# 🔑 Key Takeaways\n- date",
         "# 📌 Executive Summary\nWe ship.\n# 🔑 Key Takeaways\n- date"},
        {"header twice: the last occurrence",
         "# 📌 Executive Summary\ndraft\n# 📌 Executive Summary\nfinal", "# 📌 Executive Summary\nfinal"},
        {"Italian header", "Ecco:\n# 📌 Sintesi Esecutiva\nFatto.", "# 📌 Sintesi Esecutiva\nFatto."},
        {"short form without emoji", "Note\n# Sintesi\nFatto.", "# Sintesi\nFatto."},
        // The pin also opens a voice note's last section: the sections above it stay.
        {"voice note keeps every section",
         "Here you go:\n# 📝 Core Thought\nBuy a bike.\n\n# 🔍 Context & Reflections\n- cheaper than a car\n\n"
         "# 📌 Immediate Reminders & Actions\n- [ ] Visit the shop",
         "# 📝 Core Thought\nBuy a bike.\n\n# 🔍 Context & Reflections\n- cheaper than a car\n\n"
         "# 📌 Immediate Reminders & Actions\n- [ ] Visit the shop"},
        {"Italian voice note keeps every section",
         "# 📝 Pensiero Principale\nComprare una bici.\n\n# 🔍 Dettagli & Riflessioni\n- costa poco\n\n"
         "# 📌 Cose da Fare o Ricordare\n- [ ] Andare al negozio",
         "# 📝 Pensiero Principale\nComprare una bici.\n\n# 🔍 Dettagli & Riflessioni\n- costa poco\n\n"
         "# 📌 Cose da Fare o Ricordare\n- [ ] Andare al negozio"},
        {"prompt tail", "# A\ntext\n[ Prompt: 12.3 t/s | Generation: 4.5 t/s ]\nmore", "# A\ntext"},
        {"exit tail", "# A\ntext\nExiting...\nllama_perf_context_print: x", "# A\ntext"},
        {"perf tail", "# A\ntext\nllama_perf_sampler_print: y", "# A\ntext"},
        {"tail marker needs a line feed", "# A\ntext Exiting...", "# A\ntext Exiting..."},
        {"dash placeholder with sentences", "# A\n  - (2-3 sentences here)\nreal", "# A\nreal"},
        {"parenthesis placeholder, any case", "# A\n(list the ACTION ITEMS)\nreal", "# A\nreal"},
        {"checkbox placeholder", "# A\n\t- [ ] (Compiti operativi)\nreal", "# A\nreal"},
        {"star placeholder, Italian accent case", "# A\n* (COSA È STATO DECISO)\nreal", "# A\nreal"},
        {"numbered line survives", "# A\n1. (sentences)\nreal", "# A\n1. (sentences)\nreal"},
        {"bullet without parenthesis survives", "# A\n- Decisions Made today\nreal",
         "# A\n- Decisions Made today\nreal"},
        {"parenthesis without phrase survives", "# A\n(see appendix)\nreal", "# A\n(see appendix)\nreal"},
        {"kept lines are not trimmed", "# A\n  indented  \nreal", "# A\n  indented  \nreal"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecapCleaner::clean(QString::fromUtf8(c.output)).toStdString(), std::string(c.recap)) << c.name;
}
