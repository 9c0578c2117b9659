#include "app/window_registry.h"

#include "analysis/frmAnalise4f.h"
#include "analysis/frmComparar.h"
#include "analysis_family/frmAnaliseFamilia.h"
#include "likert/frmTabela.h"
#include "setup/frmCadastro.h"
#include "setup/frmMeta.h"
#include "main/frmInformacoes.h"
#include "shell/program.h"
#include "shell/windows.h"

namespace vpl {

namespace {

void openWindow(Program& program, WindowId id, QWidget* parent) {
    switch (id) {
        case WindowId::Cadastro:
            openModal<frmCadastro>(program, parent);
            break;
        case WindowId::Meta:
            openModal<frmMeta>(program, parent);
            break;
        case WindowId::Informacoes:
            openModal<frmInformacoes>(program, parent);
            break;
        case WindowId::Comparar:
            openModal<frmComparar>(program, parent);
            break;
        case WindowId::Tabela:
            openModal<frmTabela>(program, parent);
            break;
        case WindowId::Analise4f:
            openModal<frmAnalise4f>(program, parent);
            break;
        default:
            // The family windows: one class, a table row per factor count.
            if (const std::optional<int> factors = factorCountOfWindow(id))
                openModal<frmAnaliseFamilia>(program, parent, familyMember(*factors));
            break;
    }
}

}  // namespace

void installWindows(Program& program) {
    program.opener = [&program](WindowId id, QWidget* parent) { openWindow(program, id, parent); };
}

}  // namespace vpl
