#include "engines/recap/RecapPrompt.h"

#include <array>

namespace {

struct Section {
    const char* header;
    const char* instruction;
};

struct Template {
    const char* roleLine1;
    const char* roleLine2;
    std::array<Section, 4> sections; // a voice note has three; the fourth is empty
};

// Product text: every byte matters to the recaps the model writes, so these
// stay exactly as worded (tests compare them with golden files).
const std::array<Template, 6> kEnglish{{
    // meeting
    {"You are an elite executive assistant for professionals, founders, and investors.",
     "Analyze the following meeting transcript and produce an Executive Recap in clean, concise, structured, "
     "and elegant Markdown in English.",
     {{{"# 📌 Executive Summary",
        "Write 2-3 concise, high-impact sentences capturing the core context and primary objective."},
       {"# 🔑 Key Takeaways", "Bullet list of the most essential topics, discussions, and salient data points."},
       {"# 💡 Decisions Made",
        "Bullet list of agreed conclusions and decisions. If no explicit decisions were made, write exactly "
        "\"No formal decisions deliberated.\""},
       {"# ✅ Next Steps & Action Items",
        "Checklist with [ ] checkboxes for assigned tasks, operational next steps, and deadlines if mentioned."}}}},
    // brainstorming
    {"You are an expert innovation facilitator and product strategist.",
     "Analyze the following brainstorming or ideation transcript and synthesize the ideas into clean, concise, "
     "and structured Markdown in English.",
     {{{"# 💡 Core Concept & Goal", "2-3 sentences defining the problem space and the core vision discussed."},
       {"# 🚀 Ideas & Proposals Emerged",
        "Bullet list of all creative solutions, features, or architectural concepts proposed."},
       {"# ⚖️ Critical Analysis & Trade-offs",
        "Summary of pros, cons, technical feasibility, and bottlenecks highlighted."},
       {"# 🎯 Selected Ideas & Next Experiments",
        "Checklist with [ ] checkboxes of prioritized ideas to prototype, validate, or explore next."}}}},
    // interview
    {"You are an elite interviewer and qualitative analyst.",
     "Analyze the following interview transcript and produce an analytical recap in clean, concise, and "
     "structured Markdown in English.",
     {{{"# 🎙️ Candidate/Subject Profile",
        "2-3 sentences summarizing the subject's background, role, and the interview purpose."},
       {"# 💬 Key Topics & Notable Responses",
        "Bullet points covering core questions explored and notable answers or viewpoints."},
       {"# 🔍 Core Insights & Assessment",
        "Key takeaways regarding skills, mindset, product-market fit, or strategic perspective."},
       {"# 📋 Follow-up Notes & Open Questions",
        "Checklist with [ ] checkboxes of points requiring clarification, further validation, or next "
        "interview stages."}}}},
    // oneOnOne
    {"You are an executive coach and organizational leader.",
     "Analyze the following 1-on-1 check-in transcript and produce a recap in clean, concise, and structured "
     "Markdown in English.",
     {{{"# 🤝 Check-in Context & Mood",
        "2-3 sentences capturing morale, high-level priorities, and the general tone."},
       {"# 🗣️ Topics Discussed & Mutual Feedback",
        "Bullet points summarizing projects reviewed, achievements, and feedback exchanged."},
       {"# 🚧 Blockers & Challenges Raised",
        "Key roadblocks, tooling issues, or cross-functional frictions identified."},
       {"# 🎯 Mutual Commitments & Next Steps",
        "Checklist with [ ] checkboxes of explicit commitments and action points agreed for the upcoming "
        "period."}}}},
    // lecture
    {"You are an academic researcher and expert technical writer.",
     "Analyze the following lecture, presentation, or technical talk transcript and produce structured study "
     "notes in clean, concise Markdown in English.",
     {{{"# 📚 Central Thesis & Overview",
        "2-3 sentences capturing the primary thesis or subject of the presentation."},
       {"# 🧠 Key Principles & Definitions",
        "Bullet points of core theoretical concepts, definitions, and mental models introduced."},
       {"# 🔬 Examples & Case Studies",
        "Real-world case studies, benchmarks, or practical illustrations discussed."},
       {"# 📖 References & Further Reading",
        "Checklist with [ ] checkboxes or bullet list of referenced authors, papers, tools, or recommended "
        "study topics."}}}},
    // quickNote
    {"You are a personal productivity assistant.",
     "Analyze this voice note and organize it into clean, concise, and structured Markdown in English.",
     {{{"# 📝 Core Thought",
        "1-2 sentences capturing the central thought or intuition of the voice memo."},
       {"# 🔍 Context & Reflections",
        "Bullet points summarizing spontaneous observations, context, and thoughts."},
       {"# 📌 Immediate Reminders & Actions",
        "Checklist with [ ] checkboxes of tasks, quick follow-ups, or things to remember."},
       {nullptr, nullptr}}}},
}};

const std::array<Template, 6> kItalian{{
    // meeting
    {"Sei un assistente esecutivo d'élite per professionisti, founder e investitori.",
     "Analizza la seguente trascrizione e produci un Executive Recap in Markdown elegante, conciso e "
     "strutturato in ITALIANO.",
     {{{"# 📌 Sintesi Esecutiva",
        "Scrivi 2-3 frasi sintetiche ad alto impatto che catturino il contesto chiave e l'obiettivo primario."},
       {"# 🔑 Punti Salienti", "Elenco puntato degli argomenti essenziali discussi e dei dati salienti."},
       {"# 💡 Decisioni Prese",
        "Elenco puntato delle decisioni concordate. Se non sono state prese decisioni esplicite, scrivi "
        "esattamente \"Nessuna decisione formale deliberata.\""},
       {"# ✅ Prossimi Passi & Azioni",
        "Checklist con caselle di controllo [ ] per compiti assegnati, prossimi passi operativi e scadenze se "
        "menzionate."}}}},
    // brainstorming
    {"Sei un esperto facilitatore di innovazione e product strategist.",
     "Analizza la seguente trascrizione di una sessione di brainstorming o ideazione e sintetizza le idee in "
     "Markdown elegante, conciso e strutturato in ITALIANO.",
     {{{"# 💡 Sintesi Concettuale & Obiettivo",
        "Scrivi 2-3 frasi che definiscano il problema affrontato e la visione centrale discussa."},
       {"# 🚀 Idee & Proposte Emerse",
        "Elenco puntato di tutte le idee creative, soluzioni o funzionalità discusse, specificando brevemente "
        "l'intento."},
       {"# ⚖️ Valutazioni & Punti Critici",
        "Analisi sintetica di pro, contro, trade-off tecnici o limitazioni evidenziate."},
       {"# 🎯 Idee Selezionate & Sperimentazioni",
        "Checklist con caselle di controllo [ ] per le idee più promettenti da testare o prototipare e relativi "
        "passi esplorativi."}}}},
    // interview
    {"Sei un intervistatore d'élite e analista qualitativo.",
     "Analizza la seguente trascrizione di un'intervista o colloquio e produci una sintesi analitica in "
     "Markdown elegante, conciso e strutturato in ITALIANO.",
     {{{"# 🎙️ Profilo & Contesto Intervistato",
        "Sintesi in 2-3 frasi del profilo, background o ruolo del soggetto e obiettivo dell'intervista."},
       {"# 💬 Temi Chiave & Risposte Salienti",
        "Elenco puntato dei principali temi affrontati e delle risposte o citazioni più significative emerse."},
       {"# 🔍 Valutazione & Insight Rilevati",
        "Analisi sintetica dei punti di forza, competenze, visione o posizioni espresse durante il colloquio."},
       {"# 📋 Note di Follow-up & Domande Aperte",
        "Checklist con caselle di controllo [ ] per eventuali approfondimenti necessari, controlli o prossimi "
        "step."}}}},
    // oneOnOne
    {"Sei un executive coach e leader organizzativo.",
     "Analizza la seguente trascrizione di un colloquio 1-on-1 o check-in individuale e produci una sintesi in "
     "Markdown elegante, conciso e strutturato in ITALIANO.",
     {{{"# 🤝 Obiettivi & Mood del Check-in",
        "2-3 frasi sintetiche sull'atmosfera generale, motivazione e obiettivi prioritari del check-in."},
       {"# 🗣️ Temi Trattati & Feedback Condiviso",
        "Elenco puntato dei progressi discussi, soddisfazioni e feedback costruttivi scambiati."},
       {"# 🚧 Blocchi & Sfide Segnalate",
        "Elenco chiaro delle criticità operative, attriti o difficoltà esterne da risolvere."},
       {"# 🎯 Accordi & Impegni Reciproci",
        "Checklist con caselle di controllo [ ] degli impegni precisi presi da entrambe le parti per le "
        "prossime settimane."}}}},
    // lecture
    {"Sei un ricercatore accademico e divulgatore scientifico d'élite.",
     "Analizza la seguente trascrizione di una lezione, seminario o talk tecnico e produci una dispensa in "
     "Markdown elegante, conciso e strutturato in ITALIANO.",
     {{{"# 📚 Argomento Principale & Tesi",
        "Sintesi in 2-3 frasi della tesi centrale o argomento trattato dal relatore."},
       {"# 🧠 Concetti Chiave & Definizioni",
        "Elenco puntato dei modelli teorici, nozioni e definizioni tecniche fondamentali spiegate."},
       {"# 🔬 Esempi & Casi di Studio",
        "Esempi pratici, esperimenti o applicazioni nel mondo reale menzionati nella lezione."},
       {"# 📖 Riferimenti & Approfondimenti",
        "Checklist con caselle di controllo [ ] o elenco di letture consigliate, paper, tool o temi da "
        "approfondire."}}}},
    // quickNote
    {"Sei un assistente personale per l'organizzazione delle idee.",
     "Analizza questa nota vocale spontanea e sintetizzala in Markdown pulito, conciso e strutturato in "
     "ITALIANO.",
     {{{"# 📝 Pensiero Principale",
        "Una o due frasi che catturano l'intuizione o il messaggio centrale della nota vocale."},
       {"# 🔍 Dettagli & Riflessioni",
        "Elenco puntato con i dettagli, riflessioni o osservazioni spontanee menzionate."},
       {"# 📌 Cose da Fare o Ricordare",
        "Checklist con caselle di controllo [ ] delle azioni immediate o promemoria da tenere a mente."},
       {nullptr, nullptr}}}},
}};

const Template& templateFor(RecordingType type, bool isItalian)
{
    const auto index = static_cast<size_t>(type);
    return isItalian ? kItalian[index] : kEnglish[index];
}

} // namespace

namespace RecapPrompt {

QString build(const QString& transcript, bool isItalian, RecordingType type)
{
    const Template& row = templateFor(type, isItalian);
    QString sections;
    for (const Section& section : row.sections) {
        if (!section.header)
            break;
        if (!sections.isEmpty())
            sections += QStringLiteral("\n\n");
        sections += QString::fromUtf8(section.header) + u'\n' + QString::fromUtf8(section.instruction);
    }

    QString prompt;
    prompt += QStringLiteral("<start_of_turn>user\n");
    prompt += QString::fromUtf8(row.roleLine1) + u'\n' + QString::fromUtf8(row.roleLine2);
    prompt += QStringLiteral("\n\nThe final document must strictly follow these sections with these exact headers:\n");
    prompt += sections;
    prompt += QStringLiteral("\n\nSTRICT RULES:\n"
                             "- Do not copy or include these explanatory instructions or placeholder text.\n"
                             "- Do not include greetings, pleasantries, or preamble.\n"
                             "- Start directly with \"");
    prompt += QString::fromUtf8(row.sections[0].header);
    prompt += QStringLiteral("\" followed immediately by your summary.\n\nTRANSCRIPT:\n\"\"\"\n");
    prompt += transcript;
    prompt += QStringLiteral("\n\"\"\"<end_of_turn>\n<start_of_turn>model\n");
    return prompt;
}

} // namespace RecapPrompt
