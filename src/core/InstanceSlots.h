#pragma once
#include <QObject>
#include <QString>
#include <array>
#include <memory>

class QLocalServer;

namespace kov {

// Tells running copies of the program apart. Each copy listens on a local socket named
// "KOV-<user>-<n>"; the first free n (1..3) is the copy's instance number. A fourth copy
// finds all three taken, counts as 3 and listens nowhere. The endpoints of the other copies
// found are kept for passage synchronisation.
class InstanceSlots : public QObject {
  Q_OBJECT
 public:
  static constexpr int kMaxInstances = 3;

  // `prefix` is normally "KOV-<user>"; tests pass their own so they do not meet a running copy.
  explicit InstanceSlots(QString prefix = defaultPrefix(), QObject* parent = nullptr);
  ~InstanceSlots() override;

  // Finds the other copies and claims the first free slot. Returns the instance number.
  int claim();

  int instanceNo() const { return instanceNo_; }
  // Endpoint names of the other copies, by the order in which they were found: [1..3], empty when none.
  const std::array<QString, 4>& others() const { return others_; }
  // This copy's own server, or nullptr when all slots were taken.
  QLocalServer* server() const { return server_.get(); }

  QString slotName(int n) const;
  static QString defaultPrefix();

 private:
  QString prefix_;
  int instanceNo_ = 1;
  std::array<QString, 4> others_;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace kov
