#include "shell/decision_settings.h"

#include <QDir>

#include "core/number_text.h"
#include "shell/message_box.h"
#include "shell/program.h"

namespace vpl {

namespace {

QString shown(const store::Value& stored) {
    const QString text = QString::fromStdString(decision::ShownValue(stored));
    return stored.isText() ? "\"" + text + "\"" : text;
}

}  // namespace

QString settingProblemsText(const QString& file, const decision::DecisionSettings& settings,
                            core::NumberLocale locale) {
    if (settings.problems.empty()) return {};
    QString text = QString::fromUtf8(
                       "O arquivo de dados %1 guarda valores inválidos, lidos como o valor "
                       "padrão:\n")
                       .arg(QDir::toNativeSeparators(file));
    // One replacement step each, so that a stored text holding "%2" stays as it is.
    for (const decision::SettingProblem& problem : settings.problems) {
        if (problem.factor == 0)
            text += QString::fromUtf8("\n- Nível de exigência: %1 (lido como %2)")
                        .arg(shown(problem.stored),
                             QString::fromStdString(core::FormatNumber(
                                 decision::kDefaultRequirement / 100.0, "0.00", locale)));
        else
            text += QString::fromUtf8("\n- Peso do fator %1: %2 (lido como %3)")
                        .arg(QString::number(problem.factor), shown(problem.stored),
                             QString::number(decision::kDefaultWeight));
    }
    return text +
           QString::fromUtf8("\n\nO arquivo só é corrigido quando a janela Fatores é salva.");
}

void reportSettingProblems(QWidget* parent, Program& program,
                           const decision::DecisionSettings& settings) {
    const QString text = settingProblemsText(program.dataFilePath(), settings, program.locale);
    if (text.isEmpty() || program.toldSettingProblems.contains(text)) return;
    program.toldSettingProblems.insert(text);
    MessageBox::show(parent, text, QStringLiteral("Aviso"), MessageBox::Icon::Warning);
}

decision::DecisionSettings readDecisionSettings(QWidget* parent, Program& program) {
    decision::DecisionSettings settings =
        decision::ReadDecisionSettings(program.db(), program.locale);
    reportSettingProblems(parent, program, settings);
    return settings;
}

}  // namespace vpl
