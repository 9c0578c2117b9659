#pragma once

// Checks that a window can be used from the keyboard alone: Tab reaches every control, in
// reading order, and every button has an access key of its own.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace vpl::test {

// The control a focused widget belongs to: an editable combo box's line edit is the box.
inline QWidget* namedControl(QWidget* widget, QWidget* window) {
    while (widget && widget != window &&
           (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_")))
        widget = widget->parentWidget();
    return widget;
}

// A reads before b: a row above it, or the same row and to its left.
inline bool readsBefore(QWidget* a, QWidget* b, QWidget* window) {
    const QRect ra(a->mapTo(window, QPoint(0, 0)), a->size());
    const QRect rb(b->mapTo(window, QPoint(0, 0)), b->size());
    if (ra.center().y() < rb.top()) return true;
    if (rb.center().y() < ra.top()) return false;
    return ra.left() < rb.left();
}

// Shows the window and walks its Tab chain once round: every visible control that takes
// the focus by Tab comes once, in reading order from the first one.
inline void verifyTabChain(QWidget& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QList<QWidget*> controls;
    for (QWidget* w : window.findChildren<QWidget*>())
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            QWidget* control = namedControl(w, &window);
            if (control && control != &window && !controls.contains(control)) controls << control;
        }
    QVERIFY(!controls.isEmpty());

    QList<QWidget*> chain;
    if (!QApplication::focusWidget()) QTest::keyClick(&window, Qt::Key_Tab);
    for (int step = 0; step <= 2 * controls.size(); ++step) {
        QWidget* focused = QApplication::focusWidget();
        QVERIFY2(focused, "Tab left the window without a focused control");
        QWidget* control = namedControl(focused, &window);
        if (!chain.isEmpty() && control == chain.first()) break;
        QVERIFY2(!chain.contains(control), qPrintable(control->objectName() + " twice"));
        chain << control;
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    QStringList names;
    for (QWidget* w : chain) names << w->objectName();
    QCOMPARE(chain.size(), controls.size());

    // From the control that reads first, each one reads after the one before it.
    qsizetype first = 0;
    for (qsizetype i = 1; i < chain.size(); ++i)
        if (readsBefore(chain[i], chain[first], &window)) first = i;
    for (qsizetype k = 1; k < chain.size(); ++k) {
        QWidget* before = chain[(first + k - 1) % chain.size()];
        QWidget* after = chain[(first + k) % chain.size()];
        QVERIFY2(!readsBefore(after, before, &window), qPrintable(names.join(" > ")));
    }
}

// The access key of a caption, lower case; none when it has no "&".
inline QChar accessKey(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return caption[i + 1].toLower();
        ++i;
    }
    return {};
}

// Every visible button has an access key, and no two controls share one (a label's key
// belongs to the control it names).
inline void verifyAccessKeys(QWidget& window) {
    QSet<QChar> keys;
    const auto take = [&](const QString& caption, const QString& name) {
        const QChar key = accessKey(caption);
        if (key.isNull()) return;
        QVERIFY2(!keys.contains(key), qPrintable(name + " repeats &" + key));
        keys << key;
    };
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&window)) continue;
        QVERIFY2(!accessKey(button->text()).isNull(),
                 qPrintable(button->objectName() + " has no access key"));
        take(button->text(), button->objectName());
    }
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->buddy() && label->isVisibleTo(&window)) take(label->text(), label->objectName());
}

}  // namespace vpl::test
