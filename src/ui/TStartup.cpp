#include "ui/TStartup.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QRandomGenerator>
#include <QScreen>
#include <QTextStream>

#include "core/FileLookup.h"
#include "core/InstanceSlots.h"
#include "core/ProgramFolder.h"
#include "core/RegistryStore.h"
#include "core/StartupSettings.h"
#include "core/Tapp.h"
#include "db/CBookRef.h"
#include "db/TSubList.h"
#include "db/cIntLin.h"
#include "display/UWtext.h"
#include "display/cRenderTxt.h"
#include "texts/cTranslations.h"
#include "db/Cparsing.h"
#include "ui/TFrmInfo2.h"
#include "ui/TIntLinWin.h"
#include "display/TColumnSets.h"
#include "db/References.h"
#include "texts/NoteSources.h"
#include "texts/TSourceList.h"
#include "ui/TFrmKOVMain.h"
#include "ui/TFrmKOVsplash.h"

namespace kov {

namespace {

// Steps 1..30; index 0 is unused so that the index is the step number.
const std::vector<StartupStep> kSteps = {
    {"", -1},
    {"", -1}, {"", -1}, {"", -1}, {"", -1},
    {"Check registry", -1},
    {"Load registry", 12},
    {"Create Main Form", -1},
    {"Create Settings Form", 25},
    {"Load Preset", -1},
    {"Load interlinear stream", -1},
    {"Init Translations", -1},
    {"Create main objects", -1},
    {"Create passage selection form", 37},
    {"Create print form", -1},
    {"Init menus", -1},
    {"Create history form", -1},
    {"Create search form", 50},
    {"Create adv. search form", -1},
    {"Create search results panel", 63},
    {"Create CView panel", 75},
    {"Create StrongNote form", 87},
    {"Read bookmarks", 100},
    {"", -1}, {"", -1}, {"", -1}, {"", -1}, {"", -1}, {"", -1}, {"", -1}, {"", -1},
};

constexpr int kUpdateAgeDays = 300;

}  // namespace

const std::vector<StartupStep>& startupSteps() { return kSteps; }

bool languageSupportMissing() {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(12);
  const QFontMetricsF fm(f);
  const QString pointed = QString::fromUtf16(u"\u05D1\u05BC\u05B0\u05E8\u05B5\u05D0\u05E9\u05C1\u05B4\u05D9\u05EA");
  const QString letters = QString::fromUtf16(u"\u05D1\u05E8\u05D0\u05E9\u05D9\u05EA");
  return fm.horizontalAdvance(letters) + 3 < fm.horizontalAdvance(pointed);
}

TStartup::TStartup(Prompts prompts, QObject* parent) : QObject(parent), prompts_(std::move(prompts)) {}

TStartup::~TStartup() {
  // The windows go first: they draw with the database and the renderer held here.
  wordInfo_.reset();
  main_.reset();
}

void TStartup::setStatus(const QString& text) {
  statusLog_ << text;
  // The steps are not shown; a trace helps to see where a start stopped.
  if (qEnvironmentVariableIsSet("KOV_TRACE_STARTUP")) {
    QTextStream(stdout) << "startup: " << text << Qt::endl;
  }
}

void TStartup::progress(int step) {
  const StartupStep& s = kSteps[std::size_t(step)];
  if (s.progress >= 0 && splash_) splash_->setProgress(s.progress);
}

WorkArea TStartup::desktop() const {
  const QScreen* s = QGuiApplication::primaryScreen();
  const QRect r = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void TStartup::countRunningCopies() {
  Tapp& app = theApp();
  slots_ = std::make_unique<InstanceSlots>();
  app.InstanceNo = slots_->claim();
  app.instanceTable = slots_->others();
  app.IniSuffix = Tapp::iniSuffixFor(app.InstanceNo);
}

void TStartup::selectSettings() {
  Tapp& app = theApp();
  app.setProgramFolder(programFolder());
  SettingsPaths paths;
  paths.registryRoot = RegistryStore::defaultRoot();
  paths.defaultDir = app.DefaultDir;
  paths.prgDir = app.PrgDir;
  paths.iniSuffix = app.IniSuffix;
  settings_ = std::make_unique<TSettings>(paths);
  const StartupSettingsResult r = selectStartupSettings(*settings_, app, desktop(), [this] {
    return prompts_.confirm && prompts_.confirm(resetQuestionText());
  });
  for (const QString& e : r.errors)
    if (prompts_.error) prompts_.error(e);
  books_ = std::make_unique<TbookRef>();
  QString error;
  if (!books_->load(app.PrgDir, &error) && prompts_.error) prompts_.error(error);
}

void TStartup::logListLine(const Tsubl& slot) {
  if (slot.id.isEmpty()) return;
  const QColor grey(128, 128, 128), light(170, 170, 170);
  QVector<TFrmKOVsplash::Run> runs{{slot.id, grey}, {QStringLiteral("\t\u25CF "), light}, {slot.desS, grey}};
  if (!slot.rights.isEmpty()) {
    runs.push_back({QStringLiteral(" \u25CF "), light});
    runs.push_back({slot.rights, grey});
  }
  splash_->appendLog(runs);
  splash_->appendLog({});
}

bool TStartup::openDatabase() {
  Tapp& app = theApp();
  const QString root = findNoCase(app.PrgDir, QStringLiteral("interlinear"));
  const QStringList texts = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  if (texts.isEmpty()) {
    if (prompts_.error) prompts_.error(QStringLiteral("No original text available. Program will terminate."));
    return false;
  }
  QString mainText;
  for (const QString& t : texts)
    if (t.compare(settings_->pendingMainText, Qt::CaseInsensitive) == 0) mainText = t;
  db_ = std::make_unique<TintLin>();
  db_->setRootFolder(withTrailingSlash(root));
  if (mainText.isEmpty()) {
    // The preset names no text that is here: take the first, with the slots the preset lists.
    mainText = texts.first();
    settings_->pendingAutoPresetLoad = false;
  }
  db_->setMainName(mainText);
  fillFromPreset(db_->pendingTable(), settings_->pendingTable);
  db_->pendingTable().slot(0).fileName = mainText + QStringLiteral(".WL0");
  db_->pendingOptions() = settings_->pendingLineOptions;
  const GsReadResult gs = db_->readGs();

  splash_->appendLog({});
  splash_->appendLog({});
  splash_->appendLogLine(QStringLiteral("Interlinear"), QColor(204, 204, 204));

  const TLoadReport report = db_->loadAll(&settings_->registry());
  // A folder without its main text stays an empty database; a damaged book table of a
  // text that is there is worth telling.
  if (report.main != TLoadReport::Main::Missing)
    for (const QString& e : gs.errors)
      if (prompts_.information) prompts_.information(e);
  if (report.main == TLoadReport::Main::Failed) {
    if (prompts_.error) prompts_.error(report.mainMessage());
    return false;
  }
  for (const auto& f : report.failed)
    if (prompts_.information) prompts_.information(f.message());
  const TWl& table = db_->pendingTable();
  for (int n = 0; n < table.slotCount; ++n) logListLine(table.slot(n));
  if (db_->pendingOptions().flag(LineOptions::Hebrew)) db_->pendingOptions().setFlag(LineOptions::Right2Left, true);
  main_->setDatabaseSummary(root, texts, mainText);
  return true;
}

void TStartup::logTranslations(const QStringList& names) {
  const QColor grey(128, 128, 128);
  splash_->appendLog({});
  splash_->appendLogLine(QStringLiteral("Translations"), QColor(204, 204, 204));
  splash_->appendLog({});
  splash_->appendLog({{QString::number(names.size()) + QStringLiteral(" translations loaded - "), grey},
                      {names.join(QStringLiteral(" \u25CF ")), QColor(Qt::black)},
                      {QStringLiteral(" - for more info see Help - Database info"), grey}});
}

void TStartup::checkLanguageSupport() { theApp().languageSupportMissing = languageSupportMissing(); }

bool TStartup::start() {
  Tapp& app = theApp();
  // 1-4: identity, splash, running copies.
  setStatus({});
  app.starting = true;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  splash_ = std::make_unique<TFrmKOVsplash>();
  countRunningCopies();
  const QString startTitle = QStringLiteral("(%1) %2").arg(app.InstanceNo).arg(app.shortName);
  splash_->setWindowOpacity(0.0);
  splash_->show();
  QCoreApplication::processEvents();
  splash_->setWindowOpacity(1.0);

  const auto step = [this](int n) {
    setStatus(QString::fromLatin1(kSteps[std::size_t(n)].status));
    progress(n);
  };
  const auto fail = [this, &app] {
    QGuiApplication::restoreOverrideCursor();
    app.starting = false;
    splash_->hide();
    return false;
  };

  step(5);
  selectSettings();
  step(6);
  settings_->openSettings(false);
  step(7);
  main_ = std::make_unique<TFrmKOVMain>();
  main_->setWindowTitle(startTitle);
  settings_->readFormCoordinates(desktop());
  const WindowRect& r = settings_->windows[0];
  if (r.width > 0 && r.height > 0) main_->setGeometry(r.left, r.top, r.width, r.height);
  step(8);
  step(9);
  if (settings_->openPreset(settings_->presetName, false)) {
    settings_->readPreset(true);
    settings_->readPresetMetrics();
    settings_->readPresetFonts();
    settings_->closePreset();
  }
  step(10);
  if (!openDatabase()) return fail();
  step(11);
  app.translations = TTranslations::find(app.PrgDir);
  logTranslations(app.translations);
  step(12);
  // The long-lived drawing objects every view shares.
  render_ = std::make_unique<TRenderTxt>();
  wtext_ = std::make_unique<Twtext>(*render_);
  parsing_ = std::make_unique<Tparsing>();
  step(13);
  translations_ = std::make_unique<TTranslations>();
  // The opening messages go to the hidden status line, as the step names do.
  for (const QString& line : translations_->open(app.PrgDir)) setStatus(line);
  settings_->applySettings();
  if (db_) db_->applyPending();
  // The sources a verse column can show, and the columns of the three views.
  sources_ = std::make_unique<TSourceList>();
  sources_->build(*translations_, scanNoteSources(app.PrgDir, settings_->olbDir()));
  // Verse-block notes are filed by serial verse numbers, counted over the translation slots.
  refs_ = std::make_unique<TReferences>();
  if (db_) {
    refs_->setCalculator(0, &db_->calc());
    refs_->setStreamVerses(db_.get());
  }
  for (int slot = 1; slot <= TTranslations::kSlots; ++slot) refs_->setCalculator(slot, &translations_->calc(slot));
  columnSets_ = std::make_unique<TColumnSets>(*wtext_, *render_, translations_.get(), app.PrgDir, settings_->olbDir(),
                                              refs_.get());
  columnSets_->assignByNames(settings_->columnNames, *sources_);
  main_->setSources(*sources_);
  if (db_ && db_->lastPosition() > 0) createInterlinearWindow();
  step(14);
  main_->setWindowTitle(QStringLiteral("[%1] %2").arg(app.InstanceNo).arg(app.shortName));
  if (interlinear_) {
    const StoredRef& stored = settings_->passages[0];
    VerseRef place;
    place.Bks = stored.bks;
    place.chapter = std::uint8_t(stored.chapter);
    place.verse = std::int16_t(stored.verse);
    // A stored book the text does not have: its first book.
    if (!interlinear_->ShowPlace(place) && db_->calc().bookCount() > 0) {
      place.Bks = db_->calc().book(1).Bks;
      place.chapter = 1;
      place.verse = 1;
      interlinear_->ShowPlace(place);
    }
  }
  for (int n = 15; n <= 22; ++n) step(n);
  step(23);
  checkLanguageSupport();
  const int state = TSettings::restoreState(settings_->windowStates[0]);
  if (state == 3)
    main_->showMaximized();
  else
    main_->show();
  step(24);
  app.starting = false;
  settings_->closeSettings();
  splash_->startFade();
  for (int n = 25; n <= 27; ++n) step(n);
  QGuiApplication::restoreOverrideCursor();
  step(28);
  QString error;
  if (!settings_->writeStartUpMode(2, &error) && prompts_.error) prompts_.error(error);
  step(29);
  if (app.languageSupportMissing && settings_->readSkipLngMsg() <= 0 && prompts_.information)
    prompts_.information(QStringLiteral(
        "Input fields displaying Hebrew text with vowel signs will not display correctly.\n"
        "To resolve this, install the files for complex script and right-to-left languages."));
  return true;
}

void TStartup::createInterlinearWindow() {
  interlinear_ = new TIntLinWin(*db_, *render_, *wtext_, translations_.get(), columnSets_.get());
  interlinear_->zoomIndex = settings_->zoomIdx;
  interlinear_->translationShare = settings_->ttline[0][0];
  for (std::size_t i = 0; i < interlinear_->margins.x.size(); ++i) interlinear_->margins.x[i] = settings_->metrics[i][0];
  TIntLinColours c;
  const auto colour = [&](const char* key) {
    for (std::size_t i = 0; i < colourTable().size(); ++i)
      if (qstrcmp(colourTable()[i].key, key) == 0) return StoredColor(settings_->colours[i]);
    return StoredColor(0);
  };
  c.clBgInt = colour("clBgInt");
  c.clBgIntHdr = colour("clBgIntHdr");
  c.clHorRule = colour("clHorRule");
  c.clBgTN = colour("clBgTN");
  c.clMoveFoc = colour("clMoveFoc");
  c.clKeyBFoc = colour("clKeyBFoc");
  c.clMsdnFoc = colour("clMsdnFoc");
  interlinear_->setColours(c);
  const auto columnFont = [](const FontSpec& f) { return TColumnFont{f.name, f.height, f.color, f.lineSpace}; };
  interlinear_->setColumnFonts(columnFont(settings_->fonts.tran[0]), columnFont(settings_->fonts.note[0]));
  wordInfo_ = std::make_unique<TFrmInfo2>(*db_, *parsing_, *render_);
  interlinear_->setWordInfo(wordInfo_.get());
  main_->setInterlinear(interlinear_);
  // The source menu of a translation column: the chosen entry goes to the column under the mouse.
  connect(interlinear_, &TIntLinWin::popupRequested, this, [this](TIntLinWin::Popup kind, const QPoint& at) {
    const int column = interlinear_->shared().column;
    if (kind == TIntLinWin::Popup::TranslationSource && column > 0)
      main_->popupSources(at, columnSets_->column(1, column).entry);
  });
  connect(main_.get(), &TFrmKOVMain::sourceChosen, this, [this](int entry) {
    const int column = interlinear_->shared().column;
    if (column < 1) return;
    columnSets_->assign(1, column, entry, *sources_);
    interlinear_->Refresh(2);
  });
}

void TStartup::updateReminder() {
  const QFileInfo exe(QCoreApplication::applicationFilePath());
  const qint64 age = exe.lastModified().daysTo(QDateTime::currentDateTime());
  if (age <= kUpdateAgeDays) return;
  const int days = settings_->readUpdateDays();
  if (days < 0) {
    settings_->writeUpdateDays(int(QRandomGenerator::global()->bounded(30)));
    return;
  }
  if (age > kUpdateAgeDays + days && prompts_.information) {
    if (main_) main_->showMinimized();
    prompts_.information(QStringLiteral("This KOV version is old.\n\nLook for new updates at :\n\n%1")
                             .arg(QStringLiteral("the project's release page")));
  }
}

void TStartup::shutdown() {
  Tapp& app = theApp();
  if (settings_) {
    QString error;
    if (settings_->openPreset(settings_->presetName, false, &error)) {
      settings_->writePreset(true);
      settings_->closePreset(&error);
    }
    if (interlinear_) {
      const VerseRef r = interlinear_->currentRef();
      settings_->passages[0] = StoredRef{r.Bks, std::max<int>(r.chapter, 1), std::max<int>(r.verse, 1), r.verseMark};
      settings_->zoomIdx = interlinear_->zoomIndex;
      settings_->ttline[0][0] = interlinear_->translationShare;
    }
    if (columnSets_) settings_->columnNames = columnSets_->names();
    if (main_) {
      const QRect g = main_->normalGeometry().isValid() ? main_->normalGeometry() : main_->geometry();
      settings_->windows[0] = {g.left(), g.top(), g.width(), g.height()};
      settings_->windowStates[0] = main_->isMaximized() ? 3 : main_->isMinimized() ? 1 : 2;
    }
    if (!settings_->writeSettings(false, &error) && prompts_.error) prompts_.error(error);
    if (db_) {
      TEdits edits(*db_);
      if (!edits.saveEditInfo(settings_->registry()) && prompts_.error) prompts_.error(edits.error());
    }
    updateReminder();
  }
  app.closing = true;
}

}  // namespace kov
