#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "core/language.h"

class QWidget;

namespace vpl {

// Every message box of the program goes through here, so that tests can answer
// them and read back what was shown.
class MessageBox {
  public:
    enum class Icon { None, Warning, Critical };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    struct Shown {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
        Answer defaultAnswer;     // the button that Enter presses
        QStringList buttonTexts;  // as the box labels them: OK, or Yes then No
    };

    static Answer show(QWidget* parent, const QString& text, const QString& title, Icon icon,
                       Buttons buttons = Buttons::Ok);

    // The boxes' own buttons (and every other text the toolkit words itself) speak
    // the interface language; None speaks Portuguese.
    static void setLanguage(core::Language idioma);

    // Test mode: no box is shown; each call takes the next queued answer
    // (Ok for an OK box, No for a Yes/No box when none is queued) and is recorded.
    static void setTestMode(bool on);
    static bool testMode();
    static void queueAnswer(Answer answer);
    static QList<Shown> shown();
    static void clearShown();
    // For end-to-end runs of the executable: boxes are not shown but appended to
    // this file as "title | text" lines, each answered as in test mode.
    static void setLogFile(const QString& path);
};

}  // namespace vpl
