// Feeds a translation's four files, cut from the fuzz input, to the translation reader and
// reads every verse it can reach.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>

#include "db/cCalcPos.h"
#include "texts/UWordGP.h"

namespace {

void writeFile(const QString& path, const uint8_t* data, size_t size) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(reinterpret_cast<const char*>(data), qint64(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QTemporaryDir dir;
  const QString base = dir.path() + QStringLiteral("/");
  // Four parts: the first three sized by a 16-bit length each, the rest is the code stream.
  const char* ext[] = {".WI1", ".WI2", ".wgp", ".GD"};
  size_t at = 0;
  for (int i = 0; i < 4; ++i) {
    size_t n = size - at;
    if (i < 3) {
      if (at + 2 > size) return 0;
      n = std::min<size_t>(size_t(data[at]) | (size_t(data[at + 1]) << 8), size - at - 2);
      at += 2;
    }
    writeFile(base + QStringLiteral("F") + QLatin1String(ext[i]), data + at, n);
    at += n;
  }
  kov::TCalcpos calc;
  kov::TWordGP t(1);
  t.setDir(base);
  t.setName(QStringLiteral("F"));
  t.setCalcpos(&calc);
  if (!t.init()) return 0;
  t.setPosition(1);
  for (int i = 0; i < 2000 && !t.ReadVerse(); ++i) {
  }
  t.StepVerses(1, 5, true);
  t.StepVerses(t.LastRecord(), -5, false);
  return 0;
}
