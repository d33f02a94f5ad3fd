#include "platform/Grid.h"

#include <QTableView>

namespace vb {

class GridModel {};
class GridView : public QTableView {};

Grid::Grid(QWidget *parent) : QWidget(parent), Control(this), m_model(nullptr), m_view(nullptr) {}
Grid::~Grid() = default;
int Grid::Rows() const { return 2; }
void Grid::setRows(int) {}
int Grid::Cols() const { return 2; }
void Grid::setCols(int) {}
int Grid::FixedRows() const { return 1; }
void Grid::setFixedRows(int) {}
QString Grid::TextMatrix(int, int) const { return {}; }
void Grid::setTextMatrix(int, int, const QString &) {}
QString Grid::Text() const { return {}; }
void Grid::setText(const QString &) {}
int Grid::ColWidth(int) const { return 960; }
void Grid::setColWidth(int, int) {}
int Grid::ColAlignment(int) const { return flexAlignGeneral; }
void Grid::setColAlignment(int, int) {}
int Grid::Row() const { return m_row; }
void Grid::setRow(int r) { m_row = m_rowSel = r; }
int Grid::Col() const { return m_col; }
void Grid::setCol(int c) { m_col = m_colSel = c; }
int Grid::RowSel() const { return m_rowSel; }
void Grid::setRowSel(int r) { m_rowSel = r; }
int Grid::ColSel() const { return m_colSel; }
void Grid::setColSel(int c) { m_colSel = c; }
int Grid::TopRow() const { return 1; }
void Grid::setTopRow(int) {}
int Grid::MouseRow() const { return -1; }
int Grid::MouseCol() const { return -1; }
QPixmap Grid::CellPicture() const { return {}; }
void Grid::setCellPicture(const QPixmap &) {}
QPixmap Grid::cellPicture(int, int) const { return {}; }
void Grid::setCellPicture(int, int, const QPixmap &) {}
void Grid::Clear() {}
void Grid::Refresh() { update(); }
bool Grid::Redraw() const { return m_redraw; }
void Grid::setRedraw(bool r) { m_redraw = r; }
void Grid::bind(ado::ResultSetPtr) {}
ado::ResultSetPtr Grid::boundResult() const { return {}; }
void Grid::setToolTipText(const QString &t) { setToolTip(t); }
QTableView *Grid::view() const { return m_view; }
void Grid::applySelection() {}
void Grid::syncFromView() {}

}  // namespace vb
