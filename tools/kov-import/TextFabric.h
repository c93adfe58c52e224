#pragma once
// Reader of Text-Fabric node features (.tf) and the assembly of the Greek New Testament (N1904) from them.
#include "Model.h"

#include <QByteArray>
#include <QHash>

namespace kov::import {

struct TfFeature {
    QString fileName;
    QHash<QString, QString> meta;  // "@key=value" lines ("valueType", "description", ...)
    std::vector<QString> values;   // by node; index 0 and nodes without a value are empty
    std::vector<int> lines;        // the file line of each node's value (0 = none)
    QString value(int node) const
    {
        return node >= 0 && node < static_cast<int>(values.size()) ? values[static_cast<size_t>(node)] : QString();
    }
    int line(int node) const
    {
        return node >= 0 && node < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(node)] : 0;
    }
};

// Parses a node feature: "@node", metadata, a blank line, then one value per line for the next node, or
// "nodes<TAB>value" where nodes is "n", "a-b" or a comma list of those. Escapes \t \n \\ are undone.
bool parseTfFeature(const QByteArray& data, const QString& fileName, TfFeature& feature, SourceError& error);
bool readTfFeature(const QString& path, TfFeature& feature, SourceError& error);

struct GreekRepairs {
    int dashSplits = 0;     // words whose text/after split the dash wrongly, rebuilt from the full form
    int brackets = 0;       // words carrying editorial brackets, moved out of the word
    int etaBreathing = 0;   // capital eta given the rough breathing its lemma has
};

// Assembles books, verses and words from the features in memory (otype, book, chapter, verse, text, after,
// unicode, lemma, strong, morph, gloss), repairing the known quirks.
bool assembleN1904(const QHash<QString, TfFeature>& features, std::vector<GreekBook>& books, GreekRepairs& repairs,
                   SourceError& error);
// Reads the features from a folder (the one holding otype.tf) and assembles them.
bool readN1904(const QString& tfDir, std::vector<GreekBook>& books, GreekRepairs& repairs, SourceError& error);

// Splits a full form into what stands before the word, the word and what follows it; the word is the
// run of letters and marks (with an elision mark directly after it).
void splitGreekForm(const QString& full, QString& before, QString& word, QString& after);

struct GreekTotals {
    int books = 0;
    int chapters = 0;
    int verses = 0;
    int words = 0;
    int withoutGloss = 0;
};
GreekTotals countGreek(const std::vector<GreekBook>& books);

}  // namespace kov::import
