#pragma once

#include <QColor>
#include <QTableWidget>
#include <string>
#include <vector>

class QTableView;

namespace vpl {

// The character codes the grid reports for the keys that are no printable character.
namespace KeyAscii {
inline constexpr int None = 0;
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int CtrlZ = 26;
}  // namespace KeyAscii

// An answer grid: every cell holds text, the first `fixedRows` rows are headings that stay in view
// while the body scrolls, and the window edits the cells itself from the key and click events
// (there is no cell editor). Cells outside the grid are ignored by every operation, so a stale
// position never crashes a window.
class FlexGrid : public QTableWidget {
    Q_OBJECT
  public:
    FlexGrid(int rows, int cols, int fixedRows, QWidget* parent = nullptr);

    int rows() const { return rowCount(); }
    void setRows(int rows);
    int cols() const { return columnCount(); }
    int fixedRows() const { return fixedRows_; }

    // The current cell, which the user sees framed.
    int row() const { return currentRow(); }
    int col() const { return currentColumn(); }
    void setCell(int row, int col);
    QString text() const { return textAt(row(), col()); }
    void setText(const QString& text) { setTextAt(row(), col(), text); }

    QString textAt(int row, int col) const;
    // The same text in UTF-8, kept beside the cells: the window reads every count cell at
    // each key, and this spares it a conversion per cell.
    const std::string& utf8At(int row, int col) const;
    void setTextAt(int row, int col, const QString& text);
    // Empties every cell; colours and bold stay.
    void clearTexts();

    // The whole text of a cell too long to show, when the pointer rests on it.
    void setToolTipAt(int row, int col, const QString& text);

    void setColWidthTwips(int col, int widthTwips);
    // The column takes the room the grid has beyond the other columns, never less than the
    // width it was given.
    void setStretchColumn(int col) { stretchCol_ = col; }
    // Moves the focus on to the next (or previous) control of the window.
    void leave(bool forward) { QWidget::focusNextPrevChild(forward); }
    void setColAlignment(int col, Qt::Alignment alignment);

    QColor cellBackground(int row, int col) const;
    void setCellBackground(int row, int col, const QColor& color);
    QColor cellForeground(int row, int col) const;
    void setCellForeground(int row, int col, const QColor& color);
    bool cellBold(int row, int col) const;
    void setCellBold(int row, int col, bool bold);

  signals:
    // The character code of a key: a KeyAscii code, the character itself for printable
    // keys, control codes for Ctrl with a letter.
    void keyPress(int keyAscii);
    // A click on a body cell, which has become the current cell.
    void click();
    // Shift+Tab: the window moves the current cell back (Tab is a keyPress).
    void backTab();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void updateGeometries() override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool contains(int row, int col) const;
    bool onHeading(const QPoint& viewportPos) const;
    void fillWithItems(int fromRow);
    int headingHeight() const;
    void fitStretchColumn();

    int fixedRows_;
    int stretchCol_ = -1;
    int stretchMinWidth_ = 0;
    std::vector<Qt::Alignment> alignments_;
    std::vector<std::string> utf8_;  // row by row, as the cells hold them
    QTableView* headings_;           // the heading rows drawn over the top of the scrolled body
};

}  // namespace vpl
