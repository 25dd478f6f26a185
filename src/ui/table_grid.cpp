#include "table_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

#include "data/table/dbf_table.h"
#include "data/table/workspace.h"

namespace blend {
namespace {

// The cursor row is the grid's only highlight: no focus frame or selection on single cells.
class PlainCells : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->state &= ~(QStyle::State_HasFocus | QStyle::State_Selected);
  }
};

}  // namespace

TableGrid::TableGrid(Workspace& tables, std::string alias, std::vector<GridColumn> columns,
                     GridColours colours, QWidget* parent)
    : QTableWidget(parent),
      tables_(tables),
      alias_(std::move(alias)),
      columns_(std::move(columns)),
      colours_(std::move(colours)) {
  setColumnCount(static_cast<int>(columns_.size()));
  QStringList headings;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    headings << columns_[c].heading;
    setColumnWidth(static_cast<int>(c), columns_[c].width);
  }
  setHorizontalHeaderLabels(headings);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { color: %1; "
                                                   "background-color: %2; border: 1px solid %3; }")
                                        .arg(colours_.headerText.name(), colours_.headerBack.name(),
                                             colours_.back.darker(130).name()));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  // The grid draws its own cursor row; Qt's selection and scrolling would fight it.
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  setItemDelegate(new PlainCells(this));
  QPalette p = palette();
  p.setColor(QPalette::Base, colours_.back);
  setPalette(p);
  connect(this, &QTableWidget::cellClicked, this, [this](int row, int) { clickRow(row + 1); });
  connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { pickRow(row + 1); });
  fitRows();
}

Table* TableGrid::table() const {
  return tables_.table(alias_);
}

void TableGrid::setFixedRows(int rows) {
  fixedRows_ = true;
  rows_ = std::max(rows, 1);
  cursorRow_ = std::min(cursorRow_, rows_);
  refresh();
}

int TableGrid::heightFor(int rows) const {
  return horizontalHeader()->sizeHint().height() + rows * verticalHeader()->defaultSectionSize() +
         2 * frameWidth();
}

void TableGrid::setCursorRow(int row) {
  cursorRow_ = std::clamp(row, 1, rows_);
}

void TableGrid::fitRows() {
  if (fixedRows_) return;
  const int rowHeight = std::max(verticalHeader()->defaultSectionSize(), 1);
  const int available = viewport()->height();
  rows_ = std::max(available / rowHeight, 1);
  cursorRow_ = std::min(cursorRow_, rows_);
}

void TableGrid::refresh() {
  Table* t = table();
  if (!t) {
    paintRows({}, {}, 0);
    return;
  }
  const std::uint32_t here = t->recNo();
  const bool onBlank = t->eof();

  // Up to the cursor row's worth of records above the current one; fewer near the top.
  int above = 0;
  while (above < cursorRow_ - 1) {
    t->skip(-1);
    if (t->bof()) break;
    ++above;
  }
  std::vector<std::vector<QString>> cells;
  std::vector<QColor> ink;
  const auto cellsOfCurrent = [&] {
    std::vector<QString> row;
    for (const GridColumn& c : columns_) row.push_back(c.text ? c.text(*t) : QString());
    cells.push_back(std::move(row));
    ink.push_back(colours_.rowText ? colours_.rowText(*t) : QColor(Qt::black));
  };
  // When the table stands on its blank record, the rows above it end with the last record and
  // the cursor shows the blank row itself.
  const int recordRows = onBlank ? above : rows_;
  if (!(onBlank && above == 0)) {
    for (int r = 0; r < recordRows && !t->eof(); ++r) {
      cellsOfCurrent();
      t->skip(1);
    }
  }
  if (onBlank) {
    t->goTo(here);
    cellsOfCurrent();
  }
  cursorRow_ = above + 1;
  t->goTo(here);
  paintRows(cells, ink, static_cast<int>(cells.size()));
}

void TableGrid::paintRows(const std::vector<std::vector<QString>>& cells,
                          const std::vector<QColor>& ink, int shown) {
  shown_ = shown;
  setRowCount(rows_);
  for (int r = 0; r < rows_; ++r) {
    const bool cursor = r + 1 == cursorRow_ && r < shown;
    for (int c = 0; c < columnCount(); ++c) {
      QTableWidgetItem* cell = item(r, c);
      if (!cell) {
        cell = new QTableWidgetItem;
        setItem(r, c, cell);
      }
      cell->setText(r < shown ? cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]
                              : QString());
      cell->setForeground(r < shown ? ink[static_cast<std::size_t>(r)] : QColor(Qt::black));
      cell->setBackground(cursor ? colours_.cursorBack : colours_.back);
    }
  }
}

void TableGrid::moveBy(long records) {
  Table* t = table();
  if (!t || records == 0) return;
  if (records > 0) {
    if (t->eof()) return;
    t->skip(records);
    if (t->eof()) {
      // Past the last record: stay on the last one.
      t->goBottom();
      cursorRow_ = rows_;
    } else {
      cursorRow_ = static_cast<int>(std::min<long>(cursorRow_ + records, rows_));
    }
  } else {
    t->skip(records);
    if (t->bof())
      cursorRow_ = 1;
    else
      cursorRow_ = static_cast<int>(std::max<long>(cursorRow_ + records, 1));
  }
  refresh();
}

void TableGrid::moveToTop() {
  if (Table* t = table()) t->goTop();
  cursorRow_ = 1;
  refresh();
}

void TableGrid::moveToBottom() {
  if (Table* t = table()) t->goBottom();
  cursorRow_ = rows_;
  refresh();
}

bool TableGrid::clickRow(int row) {
  Table* t = table();
  if (!t || row < 1 || row > shown_) return false;  // below the last record there is nothing
  if (row != cursorRow_) {
    t->skip(row - cursorRow_);
    if (t->eof()) t->goBottom();
    cursorRow_ = row;
  }
  refresh();
  return true;
}

void TableGrid::pickRow(int row) {
  if (clickRow(row)) emit picked();
}

void TableGrid::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Down:
      moveBy(1);
      return;
    case Qt::Key_Up:
      moveBy(-1);
      return;
    case Qt::Key_PageDown:
      ctrl ? moveToBottom() : moveBy(rows_);
      return;
    case Qt::Key_PageUp:
      ctrl ? moveToTop() : moveBy(-rows_);
      return;
    case Qt::Key_Home:
      moveToTop();
      return;
    case Qt::Key_End:
      moveToBottom();
      return;
    default:
      QTableWidget::keyPressEvent(event);
  }
}

void TableGrid::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  const int before = rows_;
  fitRows();
  if (rows_ != before) refresh();
}

void TableGrid::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps != 0) moveBy(-3L * steps);
  event->accept();
}

}  // namespace blend
