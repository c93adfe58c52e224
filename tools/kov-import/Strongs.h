#pragma once
// Readers of the Strong's Hebrew and Greek dictionaries (npm package "strongs") and the Hebrew gloss rule.
#include "Model.h"

#include <QHash>
#include <QIODevice>

namespace kov::import {

struct StrongEntry {
    QChar language;        // 'H' or 'G'
    int number = 0;
    QString lemma;         // pointed Hebrew / accented Greek
    QString translit;      // the dictionary's own transliteration
    QString pronunciation;
    QString shortGloss;    // Hebrew: by the rule in hebrewShortGloss; Greek: empty
    QString definition;    // Hebrew: the explanation; Greek: the definition; references written "H433"/"G427"
    QString outline;       // Hebrew: the numbered senses, one a line
    QString derivation;
    QString kjvUsage;
    QStringList references;  // "H433", "G1118", in order, without repeats
    QString key() const { return QString(language) + QString::number(number); }
};

bool readStrongsHebrew(QIODevice& in, const QString& fileName, std::vector<StrongEntry>& entries, SourceError& error);
bool readStrongsGreek(QIODevice& in, const QString& fileName, std::vector<StrongEntry>& entries, SourceError& error);
bool readStrongsFile(const QString& path, bool hebrew, std::vector<StrongEntry>& entries, SourceError& error);

// The first sense of the outline, else the first highlighted word of the explanation (see README.md).
QString hebrewShortGloss(const QString& outlineFirstSense, const QString& firstHighlight, int number);

// The English gloss of an OSHB word: prefix glosses, a possessive or object suffix, and the content word's
// short gloss, e.g. lemma "b/7225" -> "in beginning", "c/d/776" -> "and the earth".
QString hebrewWordGloss(const QString& lemma, const QString& morph, const QHash<int, QString>& shortGlosses);

// The Strong number text of an OSHB lemma: "b/7225" -> "H7225", "c/d/776" -> "H776"; "" when none.
QString hebrewStrongText(const QString& lemma);

}  // namespace kov::import
