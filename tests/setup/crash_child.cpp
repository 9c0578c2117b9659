// Runs one write of the program over a data file and exits, so that a test can kill
// it at any moment. Usage: crash_child clear|meta|likert|import|typing|switch <program folder> [key]
// The key may be the file's derived key in SQLCipher's x'..' form, which spares the
// key derivation. It writes one byte to stdout right before the write starts and one
// when it has returned; exit 0 when the write went through without a message, 3 when
// a message came up. With VPL_CRASH_HOLD set it waits to be killed once the write has
// returned, so that the file is left as a killed program leaves it.

#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <cstdio>
#include <cstring>
#include <memory>

#include "likert/frmTabela.h"
#include "decision/decision.h"
#include "decision/factor_import.h"
#include "setup/frmMeta.h"
#include "shell/flex_grid.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "store/schema.h"

using namespace vpl;

namespace {

void signal(char byte) {
    if (::write(STDOUT_FILENO, &byte, 1) != 1) std::_Exit(4);
}

void ready() {
    signal('R');
}

template <class T>
T* control(QObject& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found) std::_Exit(5);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: crash_child clear|meta|likert <folder> [key]\n");
        return 2;
    }
    const std::string mode = argv[1];
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MessageBox::setTestMode(true);
    Program program(QString::fromLocal8Bit(argv[2]));
    program.dbBanco = store::Database::open(program.dataFilePath().toStdString(),
                                            argc == 4 ? argv[3] : store::kDatabaseKey);

    if (mode == "clear") {
        ready();
        decision::ClearDecision(program.db());
    } else if (mode == "meta") {
        frmMeta window(program);
        window.Form_Load();
        control<QLineEdit>(window, "lblFatores")->setText("3");
        for (int n = 1; n <= store::kFactorSlots; ++n) {
            control<QLineEdit>(window, QString("lblFator%1").arg(n))
                ->setText(QString("Novo fator %1").arg(n));
            control<QLineEdit>(window, QString("txtP%1").arg(n))->setText(QString::number(n));
        }
        ready();
        window.cmdSair_Click();
    } else if (mode == "likert") {
        frmTabela window(program);
        window.Form_Load();
        control<QComboBox>(window, "cmbFator")->setCurrentIndex(0);
        window.cmbFator_Click();
        control<FlexGrid>(window, "MSFlexGrid1")->setCell(2, 3);
        window.MSFlexGrid1_Click();
        ready();
        window.MSFlexGrid1_KeyPress('7');  // the count is written at once
    } else if (mode == "import") {
        // One survey into three factors, their titles with them.
        std::vector<core::FactorImport> factors;
        for (int f = 1; f <= 3; ++f) {
            core::FactorImport& factor = factors.emplace_back();
            factor.factor = f;
            factor.title = "Fator importado " + std::to_string(f);
            for (int p = 0; p < 60; ++p)
                factor.propositions.push_back(
                    {"Pressuposto importado " + std::to_string(p), {p, f, 1, 2, 3}});
        }
        ready();
        StoreImportedFactors(program.db(), factors);
    } else if (mode == "typing") {
        // Counts typed one key after the other over every count cell of three rows.
        frmTabela window(program);
        window.Form_Load();
        control<QComboBox>(window, "cmbFator")->setCurrentIndex(0);
        window.cmbFator_Click();
        FlexGrid* grid = control<FlexGrid>(window, "MSFlexGrid1");
        ready();
        for (int key = 0; key < 150; ++key) {
            grid->setCell(2 + key % 3, 1 + key / 3 % 5);
            window.MSFlexGrid1_Click();
            window.MSFlexGrid1_KeyPress('1' + key % 9);
            window.MSFlexGrid1_KeyPress('0' + key % 7);
        }
    } else if (mode == "switch") {
        // A copy of the open decision, then another decision opened in its place.
        const QString folder = QString::fromLocal8Bit(argv[2]);
        ready();
        program.db().backupTo((folder + "/copia.mdb").toStdString(), store::kDatabaseKey);
        program.switchTo(program.claimOther(folder + "/outra.mdb"));
    } else {
        return 2;
    }
    signal('D');
    if (qEnvironmentVariableIsSet("VPL_CRASH_HOLD"))
        for (;;) ::pause();
    return MessageBox::shown().isEmpty() ? 0 : 3;
}
