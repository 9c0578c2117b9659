#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "shell/flex_grid.h"

using vpl::FlexGrid;

namespace {

QPoint centreOf(FlexGrid& grid, int row, int col) {
    return grid.visualItemRect(grid.item(row, col)).center();
}

void clickCell(FlexGrid& grid, int row, int col) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(grid, row, col));
}

// Types every character as its own key, letters beyond ASCII included.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
}

// The columns of a cell's rectangle in `shot` that hold a pixel of `ink`.
QPair<int, int> inkColumns(const QImage& shot, const QRect& cell, const QColor& ink) {
    int first = -1, last = -1;
    for (int x = cell.left(); x <= cell.right(); ++x)
        for (int y = cell.top() + 2; y <= cell.bottom() - 2; ++y)
            if (QColor(shot.pixel(x, y)) == ink) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

QList<int> codes(const QSignalSpy& spy) {
    QList<int> list;
    for (const QList<QVariant>& call : spy) list << call.first().toInt();
    return list;
}

}  // namespace

class FlexGridTest : public QObject {
    Q_OBJECT
  private slots:
    // What a cell shows: its background, its text in its colour on the side it is aligned
    // to; a text too long for the cell ends in an ellipsis.
    void cellsPaintTheirTextAlignedOnTheirBackground() {
        FlexGrid grid(4, 3, 1);
        grid.resize(400, 200);
        for (int c = 0; c < 3; ++c) grid.setColumnWidth(c, 120);
        grid.setColAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
        grid.setColAlignment(1, Qt::AlignHCenter | Qt::AlignVCenter);
        grid.setColAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        const QColor background(200, 224, 230), ink(176, 0, 0);
        for (int c = 0; c < 3; ++c) {
            grid.setTextAt(2, c, "08");
            grid.setCellBackground(2, c, background);
            grid.setCellForeground(2, c, ink);
        }
        grid.setTextAt(3, 0, QString(60, u'W'));
        grid.setCellForeground(3, 0, ink);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QImage shot = grid.viewport()->grab().toImage();
        for (int c = 0; c < 3; ++c) {
            const QRect cell = grid.visualItemRect(grid.item(2, c));
            QCOMPARE(QColor(shot.pixel(cell.left() + 1, cell.top() + 1)), background);
            const auto [first, last] = inkColumns(shot, cell, ink);
            QVERIFY2(first >= 0, "the text is drawn in its colour");
            const int left = first - cell.left(), right = cell.right() - last;
            if (c == 0) QVERIFY(left < 10 && right > 60);
            if (c == 1) QVERIFY(qAbs(left - right) <= 3);
            if (c == 2) QVERIFY(right < 10 && left > 60);
        }
        // The long text stops short of the cell's end, where its ellipsis stands.
        const QRect cell = grid.visualItemRect(grid.item(3, 0));
        const auto [first, last] = inkColumns(shot, cell, ink);
        QVERIFY(first >= 0 && last < cell.right());
    }

    // The current cell is framed two pixels deep on each of its four sides, over its own
    // background, which shows inside the frame.
    void theCurrentCellIsFramedOnItsFourSides() {
        FlexGrid grid(4, 3, 1);
        grid.resize(400, 200);
        const QColor background(200, 224, 230);
        grid.setCellBackground(2, 1, background);
        grid.setCell(2, 1);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QImage shot = grid.viewport()->grab().toImage();
        const QRect r = grid.visualItemRect(grid.item(2, 1));
        const QColor frame = grid.palette().color(QPalette::Highlight);
        const QPoint middle = r.center();
        const QList<QPair<QPoint, QPoint>> sides{// the frame's outer pixel, the one inside it
                                                 {{middle.x(), r.top()}, {0, 1}},
                                                 {{middle.x(), r.bottom()}, {0, -1}},
                                                 {{r.left(), middle.y()}, {1, 0}},
                                                 {{r.right(), middle.y()}, {-1, 0}}};
        for (const auto& [edge, inward] : sides) {
            QCOMPARE(QColor(shot.pixel(edge)), frame);
            QCOMPARE(QColor(shot.pixel(edge + inward)), frame);
            QCOMPARE(QColor(shot.pixel(edge + 3 * inward)), background);
        }
    }

    void keysBecomeCharacterCodes() {
        FlexGrid grid(6, 7, 2);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCell(2, 1);
        QSignalSpy spy(&grid, &FlexGrid::keyPress);
        QTest::keyClick(&grid, Qt::Key_Return);
        QTest::keyClick(&grid, Qt::Key_Enter);
        QTest::keyClick(&grid, Qt::Key_Tab);
        QTest::keyClick(&grid, Qt::Key_Backspace);
        QTest::keyClick(&grid, Qt::Key_Escape);
        QTest::keyClicks(&grid, "7x ");
        QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
        typeText(&grid, QString::fromUtf8("çμ"));
        QCOMPARE(codes(spy), (QList<int>{vpl::KeyAscii::Enter, vpl::KeyAscii::Enter,
                                         vpl::KeyAscii::Tab, vpl::KeyAscii::Backspace,
                                         vpl::KeyAscii::Escape, '7', 'x', ' ', 3, 0xE7, 0x3BC}));
        // The grid edits nothing itself and keeps its current cell: the window decides.
        QCOMPARE(grid.textAt(2, 1), QString());
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.col(), 1);
    }

    void navigationKeysMoveTheCellButNeverIntoTheHeadings() {
        FlexGrid grid(6, 7, 2);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCell(3, 2);
        QSignalSpy spy(&grid, &FlexGrid::keyPress);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.row(), 4);
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(grid.row(), 2);
        QTest::keyClick(&grid, Qt::Key_PageUp);
        QCOMPARE(grid.row(), 2);
        QTest::keyClick(&grid, Qt::Key_Delete);
        QCOMPARE(spy.count(), 0);
    }

    void clicksReachOnlyBodyCells() {
        FlexGrid grid(6, 7, 2);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCell(2, 0);
        QSignalSpy spy(&grid, &FlexGrid::click);
        clickCell(grid, 4, 3);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(grid.row(), 4);
        QCOMPARE(grid.col(), 3);
        clickCell(grid, 0, 1);
        clickCell(grid, 1, 5);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(grid.row(), 4);
        QCOMPARE(grid.col(), 3);
    }

    void cellsOutsideTheGridAreIgnored() {
        FlexGrid grid(4, 3, 2);
        grid.setCell(2, 1);
        grid.setCell(9, 9);
        grid.setTextAt(9, 0, "x");
        grid.setTextAt(-1, 0, "x");
        grid.setCellBackground(4, 0, Qt::yellow);
        grid.setCellBold(0, 3, true);
        QCOMPARE(grid.row(), 2);
        QCOMPARE(grid.col(), 1);
        QCOMPARE(grid.textAt(9, 0), QString());
        QVERIFY(!grid.cellBold(0, 3));
    }

    void rowsKeepTheirCellsAndNewRowsGetTheColumnAlignment() {
        FlexGrid grid(3, 2, 2);
        grid.setColAlignment(1, Qt::AlignCenter);
        grid.setTextAt(2, 1, "kept");
        grid.setCellBold(2, 1, true);
        grid.setCellBackground(2, 1, QColor(200, 224, 230));
        grid.setRows(6);
        QCOMPARE(grid.rows(), 6);
        QCOMPARE(grid.textAt(2, 1), "kept");
        QVERIFY(grid.cellBold(2, 1));
        QCOMPARE(grid.cellBackground(2, 1), QColor(200, 224, 230));
        QCOMPARE(grid.item(5, 1)->textAlignment(), int(Qt::AlignCenter));
        QCOMPARE(grid.cellBackground(5, 1), grid.palette().color(QPalette::Base));
        QVERIFY(!grid.cellBold(5, 1));
        // Only the heading rows are shaded.
        QCOMPARE(grid.cellBackground(1, 0), grid.palette().color(QPalette::Button));

        grid.setCell(5, 1);
        grid.setRows(4);
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(grid.row(), 3);  // the current cell stays in the grid
        grid.clearTexts();
        QCOMPARE(grid.textAt(2, 1), QString());
        QVERIFY(grid.cellBold(2, 1));
    }

    void utf8TextsFollowTheCellsThroughRowChanges() {
        FlexGrid grid(4, 3, 2);
        grid.setTextAt(3, 2, QString::fromUtf8("Ação 7"));
        grid.setText("ignored");  // no current cell yet: nothing changes
        QCOMPARE(grid.utf8At(3, 2), "Ação 7");
        QCOMPARE(grid.utf8At(9, 9), "");
        grid.setRows(3);
        grid.setRows(5);  // the row comes back empty, as its cells do
        QCOMPARE(grid.textAt(3, 2), QString());
        QCOMPARE(grid.utf8At(3, 2), "");
        grid.setTextAt(4, 1, "12");
        grid.setCell(4, 1);
        grid.setText(grid.text() + "3");
        QCOMPARE(grid.utf8At(4, 1), "123");
        grid.clearTexts();
        QCOMPARE(grid.utf8At(4, 1), "");
    }

    void boldKeepsTheGridFontAndColoursReadBack() {
        FlexGrid grid(3, 2, 1);
        grid.setFont(QFont("Liberation Sans", 13));
        grid.setCellBold(1, 0, true);
        grid.setCellForeground(1, 0, Qt::red);
        QVERIFY(grid.cellBold(1, 0));
        QCOMPARE(grid.cellForeground(1, 0), QColor(Qt::red));
        QCOMPARE(grid.cellForeground(1, 1), grid.palette().color(QPalette::Text));
        grid.setCellBold(1, 0, false);
        QVERIFY(!grid.cellBold(1, 0));
    }

    void theCurrentCellStaysVisibleBelowTheHeadings() {
        FlexGrid grid(102, 7, 2);
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        for (int r = 0; r < grid.rows(); ++r) grid.setTextAt(r, 0, QString::number(r));
        grid.setCell(90, 0);
        const int headings = grid.rowHeight(0) + grid.rowHeight(1);
        QVERIFY(grid.verticalScrollBar()->value() > 0);
        QVERIFY(grid.visualItemRect(grid.item(90, 0)).top() >= headings);
        QVERIFY(grid.visualItemRect(grid.item(90, 0)).bottom() <= grid.viewport()->height());
        // Back up one row at a time: each row comes out from under the headings.
        for (int r = 89; r >= 2; --r) {
            QTest::keyClick(&grid, Qt::Key_Up);
            QCOMPARE(grid.row(), r);
            QVERIFY2(grid.visualItemRect(grid.item(r, 0)).top() >= headings,
                     qPrintable(QString::number(r)));
        }
        // The headings are drawn over the scrolled body.
        auto* headingView = grid.findChild<QTableView*>("headings");
        QVERIFY(headingView && headingView->isVisible());
        QCOMPARE(headingView->height(), headings);
    }
};

QTEST_MAIN(FlexGridTest)
#include "test_flex_grid.moc"
