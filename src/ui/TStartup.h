#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "core/Csettings.h"

namespace kov {

class InstanceSlots;
class TFrmKOVMain;
class TFrmKOVsplash;
class TbookRef;
class TintLin;
class TTranslations;
class TIntLinWin;
class TRenderTxt;
class Twtext;
class Tparsing;
class TFrmInfo2;
class TSourceList;
class TReferences;
class TColumnSets;
struct Tsubl;

// One step of the start-up: its status text (may be empty) and the progress bar value
// when it ends (-1: unchanged).
struct StartupStep {
  const char* status;
  int progress;
};

// The start-up steps in order; their work is done by TStartup.
const std::vector<StartupStep>& startupSteps();

// Runs the start of the program under its splash, owns the long-lived objects, and saves
// what must survive at shut-down. Messages go through `Prompts` so that tests and scripted
// runs can answer them.
class TStartup : public QObject {
  Q_OBJECT
 public:
  struct Prompts {
    std::function<bool(const QString&)> confirm;  // Yes/No question
    std::function<void(const QString&)> error;
    std::function<void(const QString&)> information;
  };

  explicit TStartup(Prompts prompts = {}, QObject* parent = nullptr);
  ~TStartup() override;

  // Runs steps 1..29. Returns false when the start ended the program (its message was shown).
  bool start();
  // Saves the preset and the settings and marks the program as closing.
  void shutdown();

  void setStatus(const QString& text);
  TFrmKOVMain* mainWindow() const { return main_.get(); }
  TFrmKOVsplash* splash() const { return splash_.get(); }
  TSettings* settings() const { return settings_.get(); }
  TintLin* database() const { return db_.get(); }
  TTranslations* translations() const { return translations_.get(); }
  TIntLinWin* interlinear() const { return interlinear_; }
  TSourceList* sources() const { return sources_.get(); }
  TColumnSets* columnSets() const { return columnSets_.get(); }
  const QStringList& statusLog() const { return statusLog_; }

 private:
  void countRunningCopies();
  void selectSettings();
  bool openDatabase();
  void logListLine(const Tsubl& slot);
  void logTranslations(const QStringList& names);
  void checkLanguageSupport();
  void updateReminder();
  void createInterlinearWindow();
  WorkArea desktop() const;
  void progress(int stepIndex);

  Prompts prompts_;
  std::unique_ptr<TFrmKOVsplash> splash_;
  std::unique_ptr<TFrmKOVMain> main_;
  std::unique_ptr<InstanceSlots> slots_;
  std::unique_ptr<TSettings> settings_;
  std::unique_ptr<TbookRef> books_;
  std::unique_ptr<TintLin> db_;
  std::unique_ptr<TTranslations> translations_;
  std::unique_ptr<TRenderTxt> render_;
  std::unique_ptr<Twtext> wtext_;
  std::unique_ptr<Tparsing> parsing_;
  std::unique_ptr<TFrmInfo2> wordInfo_;
  std::unique_ptr<TReferences> refs_;  // references over the text and the translation slots
  std::unique_ptr<TSourceList> sources_;
  std::unique_ptr<TColumnSets> columnSets_;
  TIntLinWin* interlinear_ = nullptr;  // owned by the main window's dock
  QStringList statusLog_;
};

// Whether pointed Hebrew takes extra width for its points in the interface font: the
// points then are not being placed on their letters.
bool languageSupportMissing();

}  // namespace kov
