#pragma once
// OSHB morphology ("HR/Ncfsa") -> the parsing codes of the word information decoder ("Pp" 0xB7 "ncfsa").
#include <QString>
#include <string>

namespace kov::import {

struct MorphResult {
    std::string code;  // 8-bit: parts joined by the middle dot (byte 183)
    bool lossy = false;  // a feature had no exact counterpart and was approximated (see README.md)
    QString error;       // not a morphology code at all
};

MorphResult convertHebrewMorph(const QString& oshb);

}  // namespace kov::import
