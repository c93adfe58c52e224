#pragma once
#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <vector>

// Plain records that a preset fills and that the database copies into its own
// sublinear table and display options (and back before a preset is written).

namespace kov {

constexpr int kPresentations = 3;  // 0 the screen, 1 and 2 the print presets
constexpr int kMaxSlots = 20;      // main text + 19 sublinears

// Display options: 41 bytes, one boolean a byte unless named otherwise. Bytes
// without a name are carried unchanged.
struct LineOptions {
  enum Offset : int {
    Translit = 0,
    ModernGreek = 1,
    Hebrew = 2,  // set from the main text's language, never stored
    Nvnl = 3,
    PresetLoaded = 4,
    Justify = 6,
    CenterWord = 7,
    LineBreak = 11,
    Right2Left = 13,
    FlipWord = 14,
    ColorFill = 15,
    CUnderline = 16,
    ShowNonEntries = 17,
    ShowCompleteFields = 18,
    VariantBool1 = 19,  // ..VariantBool1 + 4
    TxtCmsShow = 24,
    TxtCmsSrch = 25,
    Toggles = 26,
    VariantSigns = 27,
    ShowVarMode = 28,  // 32-bit little-endian, bytes 28..31
    BlankIfSameUp = 32,
    BlankIfSameDn = 33,
    STRedLine = 34,
    STBold = 35,
    STYellowBG = 36,
    ShowWordsConnect = 40,
  };
  static constexpr int kSize = 41;

  std::array<std::uint8_t, kSize> bytes{};

  bool flag(int offset) const { return bytes.at(static_cast<std::size_t>(offset)) != 0; }
  void setFlag(int offset, bool on) { bytes.at(static_cast<std::size_t>(offset)) = on ? 1 : 0; }
  qint32 showVarMode() const;
  void setShowVarMode(qint32 mode);

  bool operator==(const LineOptions&) const = default;
};

// A font of one sublinear slot in one presentation (the database's TslFont).
struct SlotFont {
  QString name = QStringLiteral("Arial");
  qint32 height = -10;
  quint32 color = 0;  // $BBGGRR
  qint32 dyH = 1;     // space above the row
  qint32 dyL = 1;     // space below the row
  bool operator==(const SlotFont&) const = default;
};

// What a preset says about one slot of the sublinear table.
struct PresetSublinear {
  QString fileName;
  bool visible = true;
  std::array<SlotFont, kPresentations> fonts{};
  qint32 column = 0;        // column order in list views
  qint32 columnWidth = 50;  // column width in list views
  bool operator==(const PresetSublinear&) const = default;
};

// The presentation record of the sublinear table: six 32-bit values in this order.
struct PresentationMetrics {
  qint32 dyLine = 1;
  qint32 dyFirst = 0;
  qint32 dyLast = 0;
  qint32 reserved1 = 0;
  qint32 reserved2 = 0;
  qint32 spcWdth = 0;
  bool operator==(const PresentationMetrics&) const = default;
};

// The factory presentation records (screen, print 1, print 2).
std::array<PresentationMetrics, kPresentations> defaultPresentations();

// The start-up fonts of a slot: the main text (slot 0) in the Greek text font.
std::array<SlotFont, kPresentations> defaultSlotFonts(int slot);

// The preset part of the sublinear table: slot 0 is the main text.
struct PresetSublinearTable {
  std::vector<PresetSublinear> entries;  // at most kMaxSlots
  std::array<PresentationMetrics, kPresentations> presentations = defaultPresentations();
  bool operator==(const PresetSublinearTable&) const = default;
};

// Concordant-view options kept in a preset (section "fConcView").
struct ConcViewOptions {
  static constexpr int kColumns = 21;
  std::array<QString, kColumns> columnList{};
  std::array<qint32, kColumns> columnWidth = filled(100);
  qint32 sortColumn = 0;
  bool showCount = true;
  bool autoBlanking = false;
  bool autoColWidth = true;
  bool allRenderings = true;
  bool strongStep = false;
  qint32 zoom = 0;
  qint32 colWMode = 0;
  bool operator==(const ConcViewOptions&) const = default;

 private:
  static std::array<qint32, kColumns> filled(qint32 v) {
    std::array<qint32, kColumns> a{};
    a.fill(v);
    return a;
  }
};

}  // namespace kov
