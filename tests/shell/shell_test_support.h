#pragma once

#include <QAction>
#include <QMenu>
#include <QStringList>

#include "main/Menu.h"
#include "tests/support/test_support.h"

namespace vpl::test {

// The main menu's captions in menu-bar order, the utilities menu's title included.
inline QStringList menuCaptions(Menu& menu) {
    QStringList texts;
    for (const char* name : {"mnuCad", "mnuMeta", "mnuTabela", "mnuAna"})
        texts << child<QAction>(menu, name)->text();
    texts << child<QMenu>(menu, "mnuUtil")->title() << child<QAction>(menu, "mnuSair")->text();
    return texts;
}

inline const QStringList kDesignCaptions{"&Metadados", "&Fatores",     "&Pressupostos",
                                         "&Análise",   "&Informações", "&Sair"};
inline const QStringList kEnglishCaptions{"Metadata", "Factors",     "Opinions",
                                          "Analysis", "Information", "Quit"};
inline const QStringList kSpanishCaptions{"Metadados", "Factores",    "Opiniones",
                                          "Análisis",  "Información", "Salir"};
inline const QStringList kPortugueseCaptions{"Metadados", "Fatores",     "Pressupostos",
                                             "Análises",  "Informações", "Sair"};

}  // namespace vpl::test
