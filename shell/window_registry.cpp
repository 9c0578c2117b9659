#include "shell/window_registry.h"

#include "analysis/frmAnalise4f.h"
#include "likert/frmTabela.h"
#include "setup/frmCadastro.h"
#include "setup/frmMeta.h"
#include "shell/frmInformacoes.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "shell/windows.h"

namespace vpl {

namespace {

void openWindow(Program& program, WindowId id, QWidget* parent) {
    (void)program;
    switch (id) {
        // Each window is added here as it is built.
        case WindowId::Cadastro: openModal<frmCadastro>(program, parent); break;
        case WindowId::Meta: openModal<frmMeta>(program, parent); break;
        case WindowId::Informacoes: openModal<frmInformacoes>(program, parent); break;
        case WindowId::Tabela: openModal<frmTabela>(program, parent); break;
        case WindowId::Analise4f: openModal<frmAnalise4f>(program, parent); break;
        default:
            MessageBox::show(parent, QStringLiteral("Esta janela ainda não está disponível."),
                             QStringLiteral("Aviso"), MessageBox::Icon::Warning);
    }
}

}  // namespace

void installWindows(Program& program) {
    program.opener = [&program](WindowId id, QWidget* parent) { openWindow(program, id, parent); };
}

}  // namespace vpl
