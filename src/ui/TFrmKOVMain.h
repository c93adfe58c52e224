#pragma once
#include <QMainWindow>

class QDockWidget;
class QLabel;
class QMenu;

namespace kov {

class TSourceList;

// The main window. It grows with the interlinear views; for now it reports which
// program folder and database it found.
class TFrmKOVMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TFrmKOVMain(QWidget* parent = nullptr);

  // Tells which interlinear root and texts were found, and the text chosen.
  void setDatabaseSummary(const QString& root, const QStringList& texts, const QString& mainText);
  // Hosts the interlinear window in its dock panel, titled "interlinear".
  void setInterlinear(QWidget* window);

  // The translation popup menu: one item per source (its entry number as data), the separator
  // entry as a separator.
  void setSources(const TSourceList& sources);
  QMenu* translationMenu() const { return translationMenu_; }
  // Opens the menu at a screen point with the entry a column shows checked.
  void popupSources(const QPoint& globalPos, int checkedEntry);

 signals:
  void closing();
  void sourceChosen(int entry);

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QLabel* status_;
  QDockWidget* interlinearDock_ = nullptr;
  QMenu* translationMenu_ = nullptr;
};

}  // namespace kov
