#include "shell/message_box.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QQueue>
#include <QTranslator>

#include "shell/program.h"

namespace vpl {

namespace {

struct TestState {
    bool on = false;
    QQueue<MessageBox::Answer> answers;
    QList<MessageBox::Shown> shown;
    QString logFile;
};

TestState& testState() {
    static TestState state;
    return state;
}

QList<QMessageBox::StandardButton> standardButtons(MessageBox::Buttons buttons) {
    if (buttons == MessageBox::Buttons::YesNo) return {QMessageBox::Yes, QMessageBox::No};
    return {QMessageBox::Ok};
}

MessageBox::Answer answerOf(int button) {
    if (button == QMessageBox::Yes) return MessageBox::Answer::Yes;
    if (button == QMessageBox::No) return MessageBox::Answer::No;
    return MessageBox::Answer::Ok;
}

// A caption as the button shows it: "&Sim" reads "Sim", "&&" reads "&".
QString withoutAccessKey(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        shown += caption[i];
    }
    return shown;
}

// The real box and the test mode's record are made by the same steps.
void configure(QMessageBox& box, const QString& text, const QString& title, MessageBox::Icon icon,
               MessageBox::Buttons buttons) {
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(icon == MessageBox::Icon::Warning    ? QMessageBox::Warning
                : icon == MessageBox::Icon::Critical ? QMessageBox::Critical
                                                     : QMessageBox::NoIcon);
    QMessageBox::StandardButtons all;
    for (QMessageBox::StandardButton b : standardButtons(buttons)) all |= b;
    box.setStandardButtons(all);
    // A question's safe answer is No: Enter must not erase every decision, nor close a
    // window whose save failed.
    const QMessageBox::StandardButton safe =
        buttons == MessageBox::Buttons::YesNo ? QMessageBox::No : QMessageBox::Ok;
    box.setDefaultButton(safe);
    box.setEscapeButton(safe);
}

}  // namespace

MessageBox::Answer MessageBox::show(QWidget* parent, const QString& text, const QString& title,
                                    Icon icon, Buttons buttons) {
    QMessageBox box(parent);
    configure(box, text, title, icon, buttons);
    TestState& t = testState();
    if (t.on) {
        Shown shown{title, text, icon, buttons, answerOf(box.standardButton(box.defaultButton())),
                    {}};
        for (QMessageBox::StandardButton b : standardButtons(buttons))
            shown.buttonTexts << withoutAccessKey(box.button(b)->text());
        t.shown.append(shown);
        if (!t.logFile.isEmpty()) {
            QFile log(t.logFile);
            if (log.open(QIODevice::Append | QIODevice::Text))
                log.write((title + " | " + QString(text).replace('\n', "\\n") + "\n").toUtf8());
        }
        if (!t.answers.isEmpty()) return t.answers.dequeue();
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    const int result = box.exec();
    if (buttons == Buttons::Ok) return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void MessageBox::setLanguage(core::Language idioma) {
    // English is the toolkit's own language; the others come from Qt's translations.
    const QString wanted = idioma == Language::English   ? QString()
                           : idioma == Language::Spanish ? "qtbase_es"
                                                         : "qtbase_pt_BR";
    static QPointer<QTranslator> installed;
    static QString current;
    if (installed && wanted == current) return;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    current = wanted;
    if (wanted.isEmpty() || !QCoreApplication::instance()) return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    // Where Qt is installed, or beside the program where it is shipped with it.
    for (const QString& dir : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + "/translations"}) {
        if (translator->load(wanted, dir)) {
            QCoreApplication::installTranslator(translator);
            installed = translator;
            return;
        }
    }
    delete translator;  // not installed: the buttons stay in English
}

bool MessageBox::testMode() {
    return testState().on;
}

void MessageBox::setTestMode(bool on) {
    testState().on = on;
    testState().answers.clear();
    testState().shown.clear();
}

void MessageBox::queueAnswer(Answer answer) {
    testState().answers.enqueue(answer);
}

QList<MessageBox::Shown> MessageBox::shown() {
    return testState().shown;
}

void MessageBox::clearShown() {
    testState().shown.clear();
}

void MessageBox::setLogFile(const QString& path) {
    setTestMode(true);
    testState().logFile = path;
}

}  // namespace vpl
