#include "engines/recap/RecapLanguage.h"

#include <gtest/gtest.h>

TEST(RecapLanguage, RecognisedLanguageOrMarkerWords)
{
    struct Case {
        const char* name;
        const char* text;
        bool italian;
    } cases[] = {
        {"Italian paragraph",
         "Buongiorno a tutti, oggi parliamo del nuovo progetto. Abbiamo deciso di rinviare il lancio alla "
         "prossima settimana perché il team di sviluppo ha bisogno di più tempo per completare i test. "
         "Marco si occuperà della documentazione e Giulia preparerà la presentazione per il cliente.",
         true},
        {"English paragraph",
         "Good morning everyone, today we are talking about the new project. We decided to postpone the "
         "launch to next week because the development team needs more time to finish testing. Mark will "
         "take care of the documentation and Julia will prepare the presentation for the customer.",
         false},
        // A recognised language wins over the marker words it happens to hold.
        {"Spanish paragraph with Italian markers",
         "Buenos días a todos, hoy hablamos del nuevo proyecto che per la empresa es muy importante. Hemos "
         "decidido aplazar el lanzamiento a la próxima semana porque el equipo de desarrollo necesita más "
         "tiempo para terminar las pruebas. Marcos se encargará de la documentación.",
         false},
        // Too short for CLD2 to be sure (it guesses English): two distinct
        // marker words make it Italian.
        {"short, two markers", "ok che ok per ok", true},
        {"short, one marker twice", "ok che che ok", false},
        {"short, marker at the very start", "che ok per ok", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecapLanguage::isItalian(QString::fromUtf8(c.text)), c.italian) << c.name;
}
