#pragma once

#include <QApplication>
#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "store/database.h"
#include "store/schema.h"

namespace vpl::test {

// Every stored field of the tables the set-up windows touch, row by row by key,
// so that "nothing changed" compares two snapshots. A missing table or row shows
// up as a line of its own.
inline QStringList storeSnapshot(store::Database& db) {
    struct Table {
        std::string name;
        std::vector<std::string> fields;
        int keys;
    };
    std::vector<Table> tables{
        {"Parametro", {"Idioma", "Fatores", "versaoBD"}, 2},
        {"Cadastro",
         {"Questao", "Depto", "Participante1", "Participante2", "Participante3", "Participante4",
          "Participante5", "Participante6", "Participante7", "Participante8", "nFatores"},
         2},
        {"Fatores", {"Fator", "Prop", "Mi1", "Mi2"}, 12},
        {"PLikert", {"N01", "N02", "N03", "N04", "N05"}, 81}};
    for (int k = 1; k <= 8; ++k)
        tables.push_back(
            {store::propositionTable(k), {"Proposicao", "N01", "N02", "N03", "N04", "N05"}, 101});
    QStringList lines;
    for (const Table& t : tables) {
        try {
            for (int key = 1; key <= t.keys; ++key) {
                const auto row = db.rowByKey(t.name, t.fields, key);
                if (!row) continue;
                QString line = QString::fromStdString(t.name) + " " + QString::number(key);
                for (const auto& f : t.fields)
                    line += " | " + QString::fromStdString(row->value(f).toText().value_or("NULL"));
                lines << line;
            }
        } catch (const store::StoreError& e) {
            lines << QString::fromStdString(t.name) + " missing: " + e.what();
        }
    }
    return lines;
}

// Puts something into every field that clear-all or a save could touch, and
// gives Prop3 a hundredth row and Fatores a ninth one.
inline void fillWithData(store::Database& db) {
    db.execute(
        "UPDATE Cadastro SET Questao = 'Abrir a filial?', Depto = 'Vendas', "
        "Participante1 = 'Ana', Participante2 = 'Bruno', Participante3 = 'Carla', "
        "Participante4 = 'Davi', Participante5 = 'Eva', Participante6 = 'Fábio', "
        "Participante7 = 'Gil', Participante8 = 'Hugo', nFatores = 6");
    db.execute("UPDATE Parametro SET Fatores = 6");
    db.execute(
        "UPDATE Fatores SET Fator = 'Fator n' || Id, Prop = CAST(Id + 10 AS TEXT), "
        "Mi1 = 0.25 + Id / 100.0, Mi2 = 0.5 - Id / 100.0");
    db.execute("INSERT INTO Fatores (Id, Fator, Prop, Mi1, Mi2) VALUES (9, 'Nono', '5', 0.7, 0.1)");
    for (int k = 1; k <= 8; ++k)
        db.execute("UPDATE " + store::propositionTable(k) +
                   " SET Proposicao = 'P' || Id, N01 = 1, N02 = 2, N03 = Id, N04 = 4, N05 = 5");
    db.execute(
        "INSERT INTO Prop3 (Id, Proposicao, N01, N02, N03, N04, N05) "
        "VALUES (100, 'centésima', 7, 7, 7, 7, 7)");
}

// Leaves a window as the user does: by a button named `how`, by "Escape", or by
// "close" (the title bar's close).
inline void leave(QWidget& window, const QString& how) {
    if (how == "Escape") {
        QWidget* focus = window.focusWidget();
        QTest::keyClick(focus ? focus : &window, Qt::Key_Escape);
    } else if (how == "close") {
        window.close();
    } else {
        QWidget* button = window.findChild<QWidget*>(how);
        if (!button) qFatal("control %s not found", qPrintable(how));
        QTest::mouseClick(button, Qt::LeftButton);
    }
}

// The rows of a column "how" for `leave`: by Escape, and by the title bar's close.
inline void addEscapeAndTitleBar() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("title bar") << "close";
}

// Calls `act.template operator()<Window>()` for the one of `Windows` whose class is named
// `name`; a name of none of them fails the test, so that no row tests nothing.
template <class... Windows, class Act>
void forWindowNamed(const QString& name, Act&& act) {
    const auto named = [&](const QMetaObject& meta) {
        return QString::fromUtf8(meta.className()).section("::", -1) == name;
    };
    const bool found =
        ((named(Windows::staticMetaObject) && (act.template operator()<Windows>(), true)) || ...);
    if (!found) QFAIL(qPrintable("no window class " + name));
}

// Types `text` key by key, accented letters included (QTest::keyClicks takes
// only ASCII).
inline void typeText(QWidget* box, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace vpl::test
