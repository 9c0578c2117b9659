#include "shell/flex_grid.h"

#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

#include "shell/twips.h"

namespace vpl {

namespace {

// Cells keep their own colours when current; the current cell is shown by a frame, so a
// coloured mark under it stays visible.
class CurrentCellDelegate : public QStyledItemDelegate {
  public:
    explicit CurrentCellDelegate(QTableWidget* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        initStyleOption(&plain, index);
        if (!paintOneLine(painter, plain)) {
            plain.styleObject = nullptr;
            const QWidget* view = plain.widget;
            QStyle* style = view ? view->style() : QApplication::style();
            style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, view);
        }
        if (index != grid_->currentIndex()) return;
        // The frame's four sides, two pixels inside the cell: filled, not stroked, since a
        // stroked wide pen costs a path per key.
        const QColor frame = grid_->palette().color(QPalette::Highlight);
        const QRect r = option.rect;
        painter->fillRect(QRect(r.left(), r.top(), r.width(), 2), frame);
        painter->fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), frame);
        painter->fillRect(QRect(r.left(), r.top(), 2, r.height()), frame);
        painter->fillRect(QRect(r.right() - 1, r.top(), 2, r.height()), frame);
    }

  private:
    // A text that fits the cell on one line, on the cell's background: nearly every cell.
    // The style lays a cell's text out three times at each paint (to size it, to elide it,
    // to draw it); here each distinct text keeps its layout, and a key repaints its cells
    // at a fraction of the cost. Anything else is left to the style.
    bool paintOneLine(QPainter* painter, const QStyleOptionViewItem& option) const {
        if (option.features & (QStyleOptionViewItem::HasCheckIndicator |
                               QStyleOptionViewItem::HasDecoration))
            return false;
        if (option.text.contains(QChar::LineSeparator) || option.text.contains(u'\n'))
            return false;
        const QStaticText& text = laidOut(option.text, option.font);
        const QWidget* view = option.widget;
        if (!view) return false;
        const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const QRect room = option.rect.adjusted(margin, 0, -margin, 0);
        const QSize size = text.size().toSize();
        if (size.width() > room.width()) return false;  // elided by the style
        if (option.backgroundBrush.style() != Qt::NoBrush)
            painter->fillRect(option.rect, option.backgroundBrush);
        const QPalette::ColorGroup group =
            option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->setFont(option.font);
        painter->setPen(option.palette.color(group, QPalette::Text));
        painter->setClipRect(option.rect, Qt::IntersectClip);
        const QRect at = QStyle::alignedRect(option.direction, option.displayAlignment, size, room);
        painter->drawStaticText(at.topLeft(), text);
        painter->restore();
        return true;
    }

    const QStaticText& laidOut(const QString& text, const QFont& font) const {
        const QString key = font.key() + u'\x1f' + text;
        auto found = laidOut_.find(key);
        if (found != laidOut_.end()) return found.value();
        if (laidOut_.size() > 2048) laidOut_.clear();  // a bound for grids of many texts
        QStaticText shaped(text);
        shaped.setTextFormat(Qt::PlainText);
        shaped.setPerformanceHint(QStaticText::AggressiveCaching);
        shaped.prepare(QTransform(), isNumber(text) ? unshaped(font) : font);
        return laidOut_.insert(key, shaped).value();
    }

    // The counts a key changes need no shaping, which was most of the cost of a new text.
    static bool isNumber(const QString& text) {
        return std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.isDigit() || c == u'.' || c == u',' || c == u'-';
        });
    }
    static QFont unshaped(QFont font) {
        font.setStyleStrategy(QFont::PreferNoShaping);
        return font;
    }

    QTableWidget* grid_;
    mutable QHash<QString, QStaticText> laidOut_;
};

// The heading rows over the body: they show the grid's own cells and take no input,
// so a wheel turned over them scrolls the grid.
class HeadingView : public QTableView {
  public:
    using QTableView::QTableView;

  protected:
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

int keyAsciiOf(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return KeyAscii::Enter;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return KeyAscii::Tab;
        case Qt::Key_Backspace:
            return KeyAscii::Backspace;
        case Qt::Key_Escape:
            return KeyAscii::Escape;
        case Qt::Key_Delete:
            return KeyAscii::None;  // not a character; the grid has no use for it
        default:
            break;
    }
    // Ctrl with a letter is a control code on every platform, never the letter.
    if (event->modifiers().testFlag(Qt::ControlModifier) && event->key() >= Qt::Key_A &&
        event->key() <= Qt::Key_Z)
        return event->key() - Qt::Key_A + 1;
    const QList<uint> code = event->text().toUcs4();
    return code.isEmpty() ? KeyAscii::None : static_cast<int>(code.first());
}

}  // namespace

FlexGrid::FlexGrid(int rows, int cols, int fixedRows, QWidget* parent)
    : QTableWidget(0, cols, parent),
      fixedRows_(fixedRows),
      alignments_(static_cast<std::size_t>(cols), Qt::AlignLeft | Qt::AlignVCenter),
      headings_(new HeadingView(this)) {
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);  // only the current cell is shown, by its frame
    setTabKeyNavigation(true);      // Tab comes to keyPressEvent instead of leaving the grid
    setVerticalScrollMode(ScrollPerItem);
    setWordWrap(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setItemDelegate(new CurrentCellDelegate(this));
    connect(this, &QAbstractItemView::clicked, this, [this] { emit click(); });

    headings_->setObjectName("headings");
    headings_->setModel(model());
    headings_->setItemDelegate(itemDelegate());
    headings_->setFocusPolicy(Qt::NoFocus);
    headings_->setSelectionMode(NoSelection);
    headings_->setEditTriggers(NoEditTriggers);
    headings_->setWordWrap(false);
    headings_->horizontalHeader()->hide();
    headings_->verticalHeader()->hide();
    headings_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headings_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headings_->setHorizontalScrollMode(ScrollPerPixel);
    headings_->setFrameShape(QFrame::NoFrame);
    headings_->setVisible(fixedRows_ > 0);
    viewport()->stackUnder(headings_);
    setHorizontalScrollMode(ScrollPerPixel);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, headings_->horizontalScrollBar(),
            &QScrollBar::setValue);

    setRows(rows);
}

void FlexGrid::setRows(int rows) {
    const int before = rowCount();
    setRowCount(rows);
    utf8_.resize(static_cast<std::size_t>(rowCount() * columnCount()));
    fillWithItems(before);
}

// Every cell has its item, so a cell exists exactly when item() finds it.
void FlexGrid::fillWithItems(int fromRow) {
    const QColor headingColor = palette().color(QPalette::Button);
    for (int r = fromRow; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            auto* cell = new QTableWidgetItem;
            cell->setTextAlignment(alignments_[static_cast<std::size_t>(c)]);
            if (r < fixedRows_) cell->setBackground(headingColor);
            setItem(r, c, cell);
        }
    }
}

bool FlexGrid::contains(int row, int col) const {
    return row >= 0 && row < rowCount() && col >= 0 && col < columnCount();
}

void FlexGrid::setCell(int row, int col) {
    if (contains(row, col)) setCurrentCell(row, col);
}

QString FlexGrid::textAt(int row, int col) const {
    const QTableWidgetItem* cell = item(row, col);
    return cell ? cell->text() : QString();
}

const std::string& FlexGrid::utf8At(int row, int col) const {
    static const std::string outside;
    if (!contains(row, col)) return outside;
    return utf8_[static_cast<std::size_t>(row * columnCount() + col)];
}

void FlexGrid::setTextAt(int row, int col, const QString& text) {
    QTableWidgetItem* cell = item(row, col);
    if (!cell) return;
    cell->setText(text);
    utf8_[static_cast<std::size_t>(row * columnCount() + col)] = text.toStdString();
}

void FlexGrid::clearTexts() {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) setTextAt(r, c, QString());
}

void FlexGrid::setToolTipAt(int row, int col, const QString& text) {
    if (QTableWidgetItem* cell = item(row, col)) cell->setToolTip(text);
}

void FlexGrid::setColWidthTwips(int col, int widthTwips) {
    setColumnWidth(col, twips(widthTwips));
    if (col == stretchCol_) {
        stretchMinWidth_ = twips(widthTwips);
        fitStretchColumn();
    }
}

void FlexGrid::fitStretchColumn() {
    if (stretchCol_ < 0 || stretchCol_ >= columnCount()) return;
    // The room of a vertical scroll bar is always kept, so that one appearing never
    // brings a horizontal one.
    int room = width() - 2 * frameWidth() - style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 2;
    for (int c = 0; c < columnCount(); ++c)
        if (c != stretchCol_) room -= columnWidth(c);
    setColumnWidth(stretchCol_, std::max(stretchMinWidth_, room));
}

void FlexGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    fitStretchColumn();
}

void FlexGrid::setColAlignment(int col, Qt::Alignment alignment) {
    if (col < 0 || col >= columnCount()) return;
    alignments_[static_cast<std::size_t>(col)] = alignment;
    for (int r = 0; r < rowCount(); ++r) item(r, col)->setTextAlignment(alignment);
}

QColor FlexGrid::cellBackground(int row, int col) const {
    const QTableWidgetItem* cell = item(row, col);
    if (!cell || cell->background().style() == Qt::NoBrush) return palette().color(QPalette::Base);
    return cell->background().color();
}

void FlexGrid::setCellBackground(int row, int col, const QColor& color) {
    if (QTableWidgetItem* cell = item(row, col)) cell->setBackground(color);
}

QColor FlexGrid::cellForeground(int row, int col) const {
    const QTableWidgetItem* cell = item(row, col);
    if (!cell || cell->foreground().style() == Qt::NoBrush) return palette().color(QPalette::Text);
    return cell->foreground().color();
}

void FlexGrid::setCellForeground(int row, int col, const QColor& color) {
    if (QTableWidgetItem* cell = item(row, col)) cell->setForeground(color);
}

bool FlexGrid::cellBold(int row, int col) const {
    const QTableWidgetItem* cell = item(row, col);
    return cell && cell->font().bold();
}

void FlexGrid::setCellBold(int row, int col, bool bold) {
    QTableWidgetItem* cell = item(row, col);
    if (!cell) return;
    // Only the weight is set: family and size still come from the grid.
    QFont weight;
    weight.setBold(bold);
    cell->setFont(weight);
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    const bool back = event->key() == Qt::Key_Backtab || event->modifiers() & Qt::ShiftModifier;
    if (tab && event->modifiers() & Qt::ControlModifier) {
        // Ctrl+Tab leaves the grid whatever the current cell, as it leaves any control
        // that takes Tab for itself.
        event->accept();
        return leave(!back);
    }
    if (tab && back) {
        event->accept();
        emit backTab();
        return;
    }
    const int keyAscii = keyAsciiOf(event);
    if (keyAscii == KeyAscii::None) {
        QTableWidget::keyPressEvent(event);  // arrows and page keys move the current cell
        return;
    }
    event->accept();
    emit keyPress(keyAscii);
}

bool FlexGrid::onHeading(const QPoint& viewportPos) const {
    const QModelIndex index = indexAt(viewportPos);
    return index.isValid() && index.row() < fixedRows_;
}

// Heading cells never become current by the mouse, and a drag does not move the cell.
void FlexGrid::mousePressEvent(QMouseEvent* event) {
    if (onHeading(event->position().toPoint())) return event->accept();
    QTableWidget::mousePressEvent(event);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (onHeading(event->position().toPoint())) return event->accept();
    QTableWidget::mouseReleaseEvent(event);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (onHeading(event->position().toPoint())) return event->accept();
    QTableWidget::mouseDoubleClickEvent(event);
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) return event->accept();
    QTableWidget::mouseMoveEvent(event);
}

QModelIndex FlexGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (next.isValid() && next.row() < fixedRows_ && rowCount() > fixedRows_)
        next = model()->index(fixedRows_, next.column());
    return next;
}

int FlexGrid::headingHeight() const {
    int height = 0;
    for (int r = 0; r < fixedRows_ && r < rowCount(); ++r) height += rowHeight(r);
    return height;
}

// A body cell scrolled under the headings is brought just below them.
void FlexGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableWidget::scrollTo(index, hint);
    if (!index.isValid() || index.row() < fixedRows_) return;
    if (visualRect(index).top() < headingHeight())
        verticalScrollBar()->setValue(index.row() - fixedRows_);
}

void FlexGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    const QRect body = viewport()->geometry();
    headings_->setGeometry(body.x(), body.y(), body.width(), headingHeight());
    for (int r = 0; r < fixedRows_ && r < rowCount(); ++r) headings_->setRowHeight(r, rowHeight(r));
    for (int c = 0; c < columnCount(); ++c) headings_->setColumnWidth(c, columnWidth(c));
    headings_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
}

}  // namespace vpl
