#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "core/Csettings.h"

namespace kov {

struct Tapp;

// What the start decided about the stored settings.
struct StartupSettingsResult {
  bool factoryTaken = false;     // the factory settings replaced the stored ones
  QStringList copiedPresets;     // presets copied from the factory files
  QStringList errors;            // stores that could not be read or written
};

// Chooses between the stored and the factory settings at start-up: reads "StartUpMode",
// asks `askReset` ("Last KOV startup failed. ...") when the last start did not finish, marks
// this start as begun (StartUpMode = 1, so a start that dies on the way leaves 1 behind),
// and lets the settings copy the factory settings and presets where needed. Sets
// app.StartUpMode and app.ResetSettings.
StartupSettingsResult selectStartupSettings(TSettings& settings, Tapp& app, const WorkArea& desktop,
                                            const std::function<bool()>& askReset);

// The text of the question asked after a start that did not finish.
QString resetQuestionText();

}  // namespace kov
