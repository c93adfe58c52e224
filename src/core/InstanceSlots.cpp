#include "core/InstanceSlots.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace kov {

namespace {

bool slotAnswers(const QString& name) {
  QLocalSocket s;
  s.connectToServer(name);
  const bool ok = s.waitForConnected(200);
  s.abort();
  return ok;
}

}  // namespace

InstanceSlots::InstanceSlots(QString prefix, QObject* parent) : QObject(parent), prefix_(std::move(prefix)) {}

InstanceSlots::~InstanceSlots() = default;

QString InstanceSlots::defaultPrefix() {
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty()) user = QStringLiteral("user");
  return QStringLiteral("KOV-") + user;
}

QString InstanceSlots::slotName(int n) const { return QStringLiteral("%1-%2").arg(prefix_).arg(n); }

int InstanceSlots::claim() {
  others_ = {};
  int found = 1;
  int mine = 0;
  for (int n = 1; n <= kMaxInstances; ++n) {
    const QString name = slotName(n);
    if (slotAnswers(name)) {
      others_[found] = name;
      if (found < kMaxInstances) ++found;
      continue;
    }
    if (mine != 0) continue;
    // Nobody answers: the slot is free, or its socket file was left behind by a copy that died.
    QLocalServer::removeServer(name);
    auto server = std::make_unique<QLocalServer>();
    if (server->listen(name)) {
      server_ = std::move(server);
      mine = n;
    } else {
      // Another copy starting at the same moment won the race for this slot.
      others_[found] = name;
      if (found < kMaxInstances) ++found;
    }
  }
  instanceNo_ = mine != 0 ? mine : kMaxInstances;
  return instanceNo_;
}

}  // namespace kov
