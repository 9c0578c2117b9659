#include "app/window_registry.h"

#include "analysis/frmAnalise4f.h"
#include "analysis_family/frmAnaliseFamilia.h"
#include "likert/frmTabela.h"
#include "setup/frmCadastro.h"
#include "setup/frmMeta.h"
#include "shell/frmInformacoes.h"
#include "shell/program.h"
#include "shell/windows.h"

namespace vpl {

namespace {

void openFamilyMember(Program& program, int factors, QWidget* parent) {
    openModal<frmAnaliseFamilia>(program, parent, familyMember(factors));
}

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
        case WindowId::Tabela:
            openModal<frmTabela>(program, parent);
            break;
        case WindowId::Analise4f:
            openModal<frmAnalise4f>(program, parent);
            break;
        case WindowId::Analise2f:
            openFamilyMember(program, 2, parent);
            break;
        case WindowId::Analise3f:
            openFamilyMember(program, 3, parent);
            break;
        case WindowId::Analise5f:
            openFamilyMember(program, 5, parent);
            break;
        case WindowId::Analise6f:
            openFamilyMember(program, 6, parent);
            break;
        case WindowId::Analise7f:
            openFamilyMember(program, 7, parent);
            break;
        case WindowId::Analise8f:
            openFamilyMember(program, 8, parent);
            break;
    }
}

}  // namespace

void installWindows(Program& program) {
    program.opener = [&program](WindowId id, QWidget* parent) { openWindow(program, id, parent); };
}

}  // namespace vpl
