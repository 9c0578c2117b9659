// Renders every window over a sample data file into PNG files,
// on the offscreen platform: vpl_screenshots [output folder].

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "analysis/frmAnalise4f.h"
#include "analysis/frmEsquema.h"
#include "analysis/frmResultado.h"
#include "analysis_family/frmAnaliseFamilia.h"
#include "likert/frmTabela.h"
#include "setup/frmCadastro.h"
#include "setup/frmMeta.h"
#include "main/Menu.h"
#include "main/frmInformacoes.h"
#include "shell/message_box.h"
#include "shell/program.h"
#include "store/schema.h"

using namespace vpl;

namespace {

// A four-factor decision as a user leaves it after the Likert work.
void writeSampleDecision(store::Database& db) {
    store::Transaction tx(db);
    db.update("Parametro", 1, {{"Idioma", 3}, {"Fatores", 4}});
    db.update("Cadastro", 1,
              {{"Questao", "Adotar o teletrabalho na equipe de projetos?"},
               {"Participante1", "Ana Souza"},
               {"Participante2", "Bruno Lima"}});
    const struct {
        const char* title;
        const char* propositions;
        double mi1;
        double mi2;
    } factors[] = {{"Produtividade", "3", 0.72, 0.18},
                   {"Custos", "2", 0.55, 0.30},
                   {"Comunicação", "3", 0.64, 0.24},
                   {"Bem-estar", "2", 0.81, 0.12},
                   // Beyond the four analysed here; the five-factor window shows it on own data.
                   {"Segurança", "2", 0.47, 0.38}};
    store::Key key = 1;
    for (const auto& f : factors)
        db.update("Fatores", key++,
                  {{"Fator", f.title}, {"Prop", f.propositions}, {"Mi1", f.mi1}, {"Mi2", f.mi2}});
    const char* propositions[] = {"A equipe entrega no prazo trabalhando de casa.",
                                  "As reuniões remotas resolvem as dúvidas do dia.",
                                  "O trabalho em casa reduz as interrupções."};
    for (int row = 1; row <= 3; ++row)
        db.update("Prop1", row,
                  {{"Proposicao", propositions[row - 1]},
                   {"N01", row % 2},
                   {"N02", row},
                   {"N03", 2},
                   {"N04", 6 + row},
                   {"N05", 4}});
    tx.commit();
}

bool save(QWidget& window, const QDir& folder, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QString file = folder.filePath(name + ".png");
    const bool saved = window.grab().save(file);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    window.hide();
    return saved;
}

template <class Window>
bool saveLoaded(Program& program, const QDir& folder, const QString& name) {
    Window window(program);
    window.Form_Load();
    return save(window, folder, name);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    QTemporaryDir programFolder;
    if (!programFolder.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    MessageBox::setTestMode(true);  // nothing may wait for an answer here

    try {
        // A Portuguese user, with the decimal comma.
        Program program(programFolder.path(), core::NumberLocale{','});
        store::createDeliveredFile(program.dataFilePath().toStdString());
        writeSampleDecision(
            *store::Database::open(program.dataFilePath().toStdString(), store::kDatabaseKey));

        bool ok = true;
        Menu menu(program);
        menu.Form_Load();
        ok &= save(menu, folder, "menu");
        ok &= saveLoaded<frmCadastro>(program, folder, "frmCadastro");
        ok &= saveLoaded<frmMeta>(program, folder, "frmMeta");
        ok &= saveLoaded<frmInformacoes>(program, folder, "frmInformacoes");
        {
            frmTabela likert(program);
            likert.Form_Load();
            likert.findChild<QComboBox*>("cmbFator")->setCurrentIndex(0);
            likert.cmbFator_Click();
            ok &= save(likert, folder, "frmTabela");
        }
        ok &= saveLoaded<frmAnalise4f>(program, folder, "frmAnalise4f");
        ok &= saveLoaded<frmResultado>(program, folder, "frmResultado");
        for (int factors = 2; factors <= 8; ++factors) {
            const SchemeMember& scheme = schemeMember(factors);
            frmEsquema window(program, scheme);
            window.Form_Load();
            ok &= save(window, folder, scheme.name);
            if (factors == 4) continue;
            // The family reads the sample answers delivered in PLikert.
            const FamilyMember& member = familyMember(factors);
            frmAnaliseFamilia analysis(program, member);
            analysis.Form_Load();
            ok &= save(analysis, folder, member.name);
        }
        {
            // The five-factor window on the user's own factors.
            frmAnaliseFamilia analysis(program, familyMember(5));
            analysis.Form_Load();
            analysis.findChild<QComboBox*>("cmbFonte")->setCurrentIndex(1);
            ok &= save(analysis, folder, "own-data-5f");
        }
        for (const MessageBox::Shown& box : MessageBox::shown()) {
            std::fprintf(stderr, "message: %s\n", qPrintable(box.text));
            ok = false;
        }
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
