// The floor of the start-up benchmark: a bare Qt window with a menu bar, shown, and the
// program ends.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    for (const char* title : {"&Cadastro", "&Opiniões", "&Análise", "&Utilitários", "&Sair"})
        window.menuBar()->addMenu(QString::fromUtf8(title))->addAction("Item");
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
