#include "setup/controls.h"

#include <QIcon>

#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/windows.h"

namespace vpl::setup {

QLineEdit* textBox(QWidget* parent, const QString& name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

QPushButton* pictureButton(QWidget* parent, const QString& name, const QString& caption,
                           const QString& picture) {
    auto* button = new QPushButton(QIcon(":/pictures/" + picture), caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setIconSize(QSize(24, 24));
    button->setMinimumHeight(36);
    return button;
}

Leaving saveToLeave(QWidget* window, const Program& program, const std::function<void()>& save) {
    if (program.readOnly()) return Leaving::Saved;
    // A store failure is told in the question itself; any other is a fault of the
    // program, shown as such first.
    QString failure;
    const bool ran = guarded(window, [&] {
        try {
            save();
        } catch (const store::StoreError& e) {
            failure = QStringLiteral("Ocorreu um erro no acesso ao banco de dados.\nRef.: ") +
                      QString::fromUtf8(e.what()) + QStringLiteral("\n\n");
        }
    });
    if (ran && failure.isEmpty()) return Leaving::Saved;
    const auto answer = MessageBox::show(window, failure + QStringLiteral("Fechar sem salvar?"),
                                         QStringLiteral("Erro"), MessageBox::Icon::Critical,
                                         MessageBox::Buttons::YesNo);
    return answer == MessageBox::Answer::Yes ? Leaving::Unsaved : Leaving::Stay;
}

}  // namespace vpl::setup
