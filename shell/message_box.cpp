#include "shell/message_box.h"

#include <QFile>
#include <QMessageBox>
#include <QQueue>

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

}  // namespace

MessageBox::Answer MessageBox::show(QWidget* parent, const QString& text, const QString& title,
                                    Icon icon, Buttons buttons) {
    TestState& t = testState();
    if (t.on) {
        t.shown.append({title, text, icon, buttons});
        if (!t.logFile.isEmpty()) {
            QFile log(t.logFile);
            if (log.open(QIODevice::Append | QIODevice::Text))
                log.write((title + " | " + QString(text).replace('\n', "\\n") + "\n").toUtf8());
        }
        if (!t.answers.isEmpty()) return t.answers.dequeue();
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(icon == Icon::Warning    ? QMessageBox::Warning
                : icon == Icon::Critical ? QMessageBox::Critical
                                         : QMessageBox::NoIcon);
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == Buttons::Ok) return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
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

}  // namespace vpl

namespace vpl {

void MessageBox::setLogFile(const QString& path) {
    setTestMode(true);
    testState().logFile = path;
}

}  // namespace vpl
