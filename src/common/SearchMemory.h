#pragma once

#include <QHash>
#include <QString>

// What earlier searches learnt about long texts (transcripts), so that typing
// or deleting a query's characters does not read the same texts to their end
// again: a text that lacks a query lacks every longer query holding it
// (ignoring case, as TextSearch::containsIgnoringCase). A query a text holds
// is usually found near its start, and is not kept. A text is known by its storage; the
// memory keeps a reference to that storage, so it is never reused for
// another text while remembered. The library's search and the list's
// quotations ask the same question of the same transcripts and share one.
class SearchMemory {
public:
    static SearchMemory& shared();

    enum class Answer { unknown, lacks };
    // Several threads may recall at once while nothing is learnt.
    Answer recall(const QString& text, QStringView query) const;
    void learnLacks(const QString& text, const QString& query);

    // What a reading of a whole text found in it: its ASCII letters (either
    // case) and digits, and its runs of three ASCII characters (hashed to one
    // of 4096 bits), the characters that fold to an ASCII letter counted as
    // that letter. A query with a letter, digit or run of three that the text
    // lacks is not in it; a query of other characters learns nothing.
    struct Features {
        quint64 characters = ~quint64(0); // every one until read
        QByteArray triples;               // empty until read
    };
    static Features featuresOf(QStringView text);
    void learnFeatures(const QString& text, const Features& features);

    // Takes in what another memory learnt (on a worker) that this one does not know.
    void adopt(SearchMemory&& other);

    qsizetype size() const { return m_known.size(); }
    void clear() { m_known.clear(); }

    // Shorter texts are read faster than they are looked up.
    static constexpr qsizetype shortestRemembered = 256;

private:
    struct Known {
        QString text;   // holds the storage the entry is known by
        QString lacked; // a query not in it, or empty
        Features features;
    };
    Known& entry(const QString& text);
    QHash<const QChar*, Known> m_known;
};
