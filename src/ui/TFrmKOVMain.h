#pragma once
#include <QMainWindow>

class QDockWidget;
class QLabel;

namespace kov {

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

 signals:
  void closing();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QLabel* status_;
  QDockWidget* interlinearDock_ = nullptr;
};

}  // namespace kov
