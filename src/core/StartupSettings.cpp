#include "core/StartupSettings.h"

#include "core/Tapp.h"

namespace kov {

QString resetQuestionText() {
  return QStringLiteral("Last KOV startup failed. Do you want to reset you settings?");
}

StartupSettingsResult selectStartupSettings(TSettings& settings, Tapp& app, const WorkArea& desktop,
                                            const std::function<bool()>& askReset) {
  StartupSettingsResult r;
  app.StartUpMode = settings.readStartUpMode();
  switch (decideStartUp(app.StartUpMode)) {
    case StartUpDecision::Reset:
      app.ResetSettings = true;
      break;
    case StartUpDecision::AskUser:
      app.ResetSettings = askReset && askReset();
      break;
    case StartUpDecision::Keep:
      break;
  }
  QString error;
  if (!settings.writeStartUpMode(1, &error)) r.errors << error;
  error.clear();
  if (!settings.selectSettings(app.ResetSettings, desktop, &r.copiedPresets, &error, &r.factoryTaken))
    r.errors << error;
  return r;
}

}  // namespace kov
