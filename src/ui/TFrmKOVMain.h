#pragma once
#include <QMainWindow>

class QLabel;

namespace kov {

// The main window. It grows with the interlinear views; for now it reports which
// program folder and database it found.
class TFrmKOVMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TFrmKOVMain(QWidget* parent = nullptr);

 private:
  QLabel* status_;
};

}  // namespace kov
