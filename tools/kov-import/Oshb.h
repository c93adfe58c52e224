#pragma once
// Reader of the Hebrew Old Testament in OSIS form (morphhb wlc/*.xml) and of its KJV verse map.
#include "Model.h"

#include <QHash>
#include <QIODevice>

namespace kov::import {

struct BookName {
    const char* osis;
    const char* usfm;
};
// The 39 books in the KJV's order, with the source's file names (osis + ".xml").
const std::vector<BookName>& oshbBooks();

// Hebrew reference "Gen.32.1" -> KJV reference; from wlc/VerseMap.xml.
struct VerseMap {
    struct Ref {
        int chapter = 0;
        int verse = 0;
    };
    QHash<QString, Ref> kjv;  // keyed by the Hebrew reference "Book.c.v"
};

bool readOshbBook(QIODevice& in, const QString& fileName, HebrewBook& book, SourceError& error);
bool readOshbBook(const QString& xml, const QString& fileName, HebrewBook& book, SourceError& error);
bool readVerseMap(QIODevice& in, const QString& fileName, VerseMap& map, SourceError& error);

// Sets every verse's KJV number: the map's entry, else the verse's own "KJV:" note, else its own
// number (see README.md for the partial verses).
void applyVerseMap(HebrewBook& book, const VerseMap* map);

// Reads all 39 books of a wlc folder and applies its VerseMap.xml.
bool readOshb(const QString& wlcDir, std::vector<HebrewBook>& books, SourceError& error);

struct HebrewTotals {
    int books = 0;
    int chapters = 0;
    int verses = 0;
    int words = 0;  // main-text words: plain and ketiv
    int ketiv = 0;
    int qere = 0;
};
HebrewTotals countHebrew(const std::vector<HebrewBook>& books);

}  // namespace kov::import
