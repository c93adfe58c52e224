#pragma once
// The data model the source readers produce and the database writers consume (see README.md).
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kov::import {

// A failure in a source file: where it is and what is wrong, ready to be shown to the user.
struct SourceError {
    QString file;
    qint64 line = 0;  // 0 when no line applies (a missing file)
    QString message;
    QString text() const;
};

// Variant readings of the Hebrew text: a ketiv (as written) and its qere (as read) stand side by side.
enum class Variant { None = 0, Ketiv = 1, Qere = 2 };

struct HebrewWord {
    QString text;   // pointed Hebrew with accents, morphemes separated by "/"
    QString lemma;  // source lemma attribute, e.g. "b/7225", "1254 a", "c/d/776"
    QString morph;  // source morphology, e.g. "HR/Ncfsa"
    QString id;     // source word id
    Variant variant = Variant::None;
    QString after;  // what follows the word: "־" (maqqef), " ׀ " (paseq), "׃" (sof pasuq), "׆" ... or empty
};

struct HebrewVerse {
    int chapter = 0;   // Hebrew numbering
    int verse = 0;
    int kjvChapter = 0;  // the KJV verse this verse is shown with; several Hebrew verses may share one
    int kjvVerse = 0;
    QString kjvNote;     // the source's own "KJV:" note, when it has one (for checks)
    std::vector<HebrewWord> words;
    QString paragraph;   // "P" (open, pe) or "S" (closed, samekh) when a paragraph break follows the verse
};

struct Book {
    QString code;      // USFM code, "GEN"
    QString osisName;  // the source's name, "Gen"
};

struct HebrewBook : Book {
    std::vector<HebrewVerse> verses;
};

struct GreekWord {
    QString text;     // the word alone (letters and marks, NFC), repaired
    QString before;   // material before the word: "—", "[[", "("
    QString after;    // material after the word: punctuation and the following blank
    QString unicode;  // the source's full form
    QString lemma;
    int strong = 0;
    QString morph;    // Robinson-style code
    QString gloss;    // English, may be empty
};

struct GreekVerse {
    int chapter = 0;
    int verse = 0;
    std::vector<GreekWord> words;
};

struct GreekBook : Book {
    std::vector<GreekVerse> verses;
};

// Counts the books, chapters and verses of a text into `t` (fields books, chapters, verses) and
// hands every word to `word(t, w)` for the counts of its own.
template <class BookList, class Totals, class WordCount>
void countText(const BookList& books, Totals& t, WordCount word)
{
    for (const auto& b : books) {
        ++t.books;
        int lastChapter = 0;
        for (const auto& v : b.verses) {
            if (v.chapter != lastChapter) {
                ++t.chapters;
                lastChapter = v.chapter;
            }
            ++t.verses;
            for (const auto& w : v.words)
                word(t, w);
        }
    }
}

}  // namespace kov::import
