#include "core/PresetRecords.h"

namespace kov {

qint32 LineOptions::showVarMode() const {
  quint32 v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | bytes[static_cast<std::size_t>(ShowVarMode + i)];
  return static_cast<qint32>(v);
}

void LineOptions::setShowVarMode(qint32 mode) {
  auto v = static_cast<quint32>(mode);
  for (int i = 0; i < 4; ++i, v >>= 8) bytes[static_cast<std::size_t>(ShowVarMode + i)] = v & 0xFF;
}

std::array<PresentationMetrics, kPresentations> defaultPresentations() {
  return {PresentationMetrics{1, 10, 3, 0, 0, 7}, PresentationMetrics{1, 89, 29, 0, 0, 50},
          PresentationMetrics{1, 58, 18, 0, 0, 18}};
}

std::array<SlotFont, kPresentations> defaultSlotFonts(int slot) {
  const QString face = slot == 0 ? QStringLiteral("koine KOV") : QStringLiteral("Arial");
  return {SlotFont{face, slot == 0 ? -13 : -10, 0, 1, 1}, SlotFont{face, -60, 0, 10, 10},
          SlotFont{face, -40, 0, 6, 6}};
}

}  // namespace kov
