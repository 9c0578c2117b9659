#include "shell/windows.h"

#include <cmath>

#include "core/number_text.h"
#include "shell/program.h"

namespace vpl {

std::optional<WindowId> analysisWindowForCount(double count) {
    if (count == 2) return WindowId::Analise2f;
    if (count == 3) return WindowId::Analise3f;
    if (count == 4) return WindowId::Analise4f;
    if (count == 5) return WindowId::Analise5f;
    if (count == 6) return WindowId::Analise6f;
    if (count == 7) return WindowId::Analise7f;
    if (count == 8) return WindowId::Analise8f;
    return std::nullopt;
}

std::optional<double> storedNumber(const store::Value& value, core::NumberLocale locale) {
    if (value.isText()) return core::ParseLocaleNumber(value.text(), locale);
    return value.number();
}

std::optional<WindowId> analysisWindowFor(const store::Value& fatores, const Program& program) {
    return analysisWindowForCount(storedNumber(fatores, program.locale).value_or(4));
}

QString storeErrorText(const std::exception& error) {
    if (dynamic_cast<const store::ChangedElsewhere*>(&error))
        return QString::fromUtf8(
            "Outro programa gravou no arquivo de dados depois que esta janela o leu. Nada foi "
            "gravado por cima do que ele gravou; a janela mostra agora o que está no arquivo.");
    return QStringLiteral("Ocorreu um erro no acesso ao banco de dados.\nRef.: ") +
           QString::fromUtf8(error.what());
}

QString invalidDataText(const std::exception& error) {
    return QString::fromUtf8("Os dados gravados não são válidos.\nRef.: ") +
           QString::fromUtf8(error.what());
}

void showInvalidData(QWidget* parent, const std::exception& error) {
    MessageBox::show(parent, invalidDataText(error), QStringLiteral("Erro"),
                     MessageBox::Icon::Critical);
}

Leaving saveToLeave(QWidget* window, const Program& program, const std::function<void()>& save) {
    if (program.readOnly()) return Leaving::Saved;
    // The failure is told in the question itself; a fault of the program is shown as
    // such first.
    QString failure;
    const bool ran = guarded(window, [&] {
        try {
            save();
        } catch (const store::StoreError& e) {
            failure = storeErrorText(e) + QStringLiteral("\n\n");
        } catch (const InvalidDataError& e) {
            failure = invalidDataText(e) + QStringLiteral("\n\n");
        }
    });
    if (ran && failure.isEmpty()) return Leaving::Saved;
    const MessageBox::Answer answer = MessageBox::show(
        window, failure + QStringLiteral("Fechar sem salvar?"), QStringLiteral("Erro"),
        MessageBox::Icon::Critical, MessageBox::Buttons::YesNo);
    return answer == MessageBox::Answer::Yes ? Leaving::Unsaved : Leaving::Stay;
}

void showProgramFault(QWidget* parent, const std::exception& error) {
    // A fault of the program itself: tests stop here rather than read it as a message.
    if (MessageBox::testMode()) qFatal("program fault: %s", error.what());
    MessageBox::show(
        parent,
        QString::fromUtf8("Erro interno do programa; por favor, informe o suporte.\nRef.: ") +
            QString::fromUtf8(error.what()),
        QStringLiteral("Erro"), MessageBox::Icon::Critical);
}

void showStoreError(QWidget* parent, const std::exception& error) {
    MessageBox::show(parent, storeErrorText(error), QStringLiteral("Erro"),
                     MessageBox::Icon::Critical);
}

}  // namespace vpl
