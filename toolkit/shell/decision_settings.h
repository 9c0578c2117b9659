#pragma once

#include <QString>

#include "decision/decision.h"

class QWidget;

namespace vpl {

class Program;

// The message that names the data file and each stored setting read as the default; empty
// when there is none.
QString settingProblemsText(const QString& file, const decision::DecisionSettings& settings,
                            core::NumberLocale locale);

// Tells the user which stored settings were read as the default. The same findings in the
// same file are told once in a run, however many windows read them; other findings (the file
// changed since) are told anew.
void reportSettingProblems(QWidget* parent, Program& program,
                           const decision::DecisionSettings& settings);

// The requirement level and the weights as the decision follows them, the findings told.
decision::DecisionSettings readDecisionSettings(QWidget* parent, Program& program);

}  // namespace vpl
