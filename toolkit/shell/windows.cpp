#include "shell/windows.h"

#include <QCoreApplication>
#include <QEvent>
#include <array>
#include <utility>

#include "core/number_text.h"
#include "shell/program.h"

namespace vpl {

namespace {

// The analysis window of each factor count.
constexpr std::array<std::pair<int, WindowId>, 7> kAnalysisWindows{{
    {2, WindowId::Analise2f},
    {3, WindowId::Analise3f},
    {4, WindowId::Analise4f},
    {5, WindowId::Analise5f},
    {6, WindowId::Analise6f},
    {7, WindowId::Analise7f},
    {8, WindowId::Analise8f},
}};

}  // namespace

void paintPendingNow(QWidget* widget) {
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(widget->window(), &request);
}

std::optional<WindowId> analysisWindowForCount(double count) {
    for (const auto& [factors, id] : kAnalysisWindows)
        if (count == factors) return id;
    return std::nullopt;
}

std::optional<int> factorCountOfWindow(WindowId id) {
    for (const auto& [factors, window] : kAnalysisWindows)
        if (window == id) return factors;
    return std::nullopt;
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
