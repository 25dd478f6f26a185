#pragma once
// A browse grid over one open table, in the table's current order.
//
// The grid holds no rows of its own: it shows a window of records around the table's current
// record, and the current record is always the one on the cursor row. Moving in the grid moves
// the table and moving the table (a search, a seek by another control) moves the grid at the next
// refresh, which keeps the cursor on the same row where the records allow. So another station's
// changes show up at the next refresh, and a million-record table costs one screen of reads.
//
// Rows are numbered from 1, top to bottom.

#include <QColor>
#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

namespace blend {

class Table;
class Workspace;

struct GridColumn {
  QString heading;
  int width = 100;
  std::function<QString(Table&)> text;  // the cell of the current record
};

struct GridColours {
  QColor headerText = Qt::white;
  QColor headerBack = QColor(255, 0, 0);
  QColor back = QColor(192, 192, 192);
  QColor cursorBack = QColor(0, 255, 0);
  // The text colour of the current record's row.
  std::function<QColor(Table&)> rowText;
};

class TableGrid : public QTableWidget {
  Q_OBJECT
 public:
  TableGrid(Workspace& tables, std::string alias, std::vector<GridColumn> columns,
            GridColours colours = {}, QWidget* parent = nullptr);

  Table* table() const;
  Workspace& tables() const { return tables_; }

  // The number of record rows shown: fixed when set, otherwise what the height holds.
  int rows() const { return rows_; }
  void setFixedRows(int rows);
  // The height that shows this many rows whole.
  int heightFor(int rows) const;

  int cursorRow() const { return cursorRow_; }
  void setCursorRow(int row);

  // Shows the records around the table's current record again.
  void refresh();

  // What a person does.
  void moveBy(long records);  // arrows and page keys
  void moveToTop();
  void moveToBottom();
  bool clickRow(int row);  // moves the table to the record shown on that row, if any
  void pickRow(int row);   // a double click: the row's record, then picked()

 signals:
  void picked();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void fitRows();
  void paintRows(const std::vector<std::vector<QString>>& cells, const std::vector<QColor>& ink,
                 int shown);

  Workspace& tables_;
  std::string alias_;
  std::vector<GridColumn> columns_;
  GridColours colours_;
  int rows_ = 1;
  bool fixedRows_ = false;
  int cursorRow_ = 1;
  int shown_ = 0;  // rows holding a record (or the blank record the table stands on)
};

}  // namespace blend
