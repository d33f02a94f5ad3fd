#pragma once
// The record grid of the list windows and the home page.
//
// Rows and columns are numbered from 0 as the windows see them: with one
// fixed row (the default) row 0 is the header and records start at row 1.
// The grid is either filled cell by cell (Rows, Cols, TextMatrix) or bound
// to the rows of a query (bind), which it shows without copying them; writing
// cells of a bound grid works too (the written text lies over the bound one).
#include "db/Ado.h"
#include "ui/Control.h"

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <vector>

class QTableView;

namespace vb {

class GridModel;
class GridView;

// Cell alignment codes (ColAlignment).
enum FlexAlignment {
    flexAlignLeftTop = 0,
    flexAlignLeftCenter = 1,
    flexAlignLeftBottom = 2,
    flexAlignCenterTop = 3,
    flexAlignCenterCenter = 4,
    flexAlignCenterBottom = 5,
    flexAlignRightTop = 6,
    flexAlignRightCenter = 7,
    flexAlignRightBottom = 8,
    flexAlignGeneral = 9  // text left, numbers right, vertically centred
};

class Grid : public QWidget, public Control {
    Q_OBJECT
public:
    explicit Grid(QWidget *parent = nullptr);
    ~Grid() override;

    // Whether cells drawn before are drawn again from their picture (on by
    // default; off, every cell is laid out and drawn anew, as tests compare).
    static void setCellPicturesKept(bool kept);

    // Size of the grid, the fixed (header) row included.
    int Rows() const;
    void setRows(int rows);
    int Cols() const;
    void setCols(int cols);
    // 0 or 1: whether row 0 is a header that stays in place while scrolling.
    int FixedRows() const;
    void setFixedRows(int n);

    // Text of one cell; row 0 is the header row when FixedRows is 1.
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    // Text of the current cell (Row, Col).
    QString Text() const;
    void setText(const QString &text);

    // Column width in twips; kept per column across Clear and bind.
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    // Alignment of a column's cells (FlexAlignment); flexAlignGeneral by default.
    int ColAlignment(int col) const;
    void setColAlignment(int col, int alignment);

    // Current cell and the selected range Row..RowSel x Col..ColSel.
    // Setting Row or Col collapses the selection onto the current cell.
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);
    int RowSel() const;
    int ColSel() const;
    void setColSel(int col);

    // Row and column under the mouse pointer now (header row 0), -1 when the
    // pointer is outside every row or column.
    int MouseRow() const;
    int MouseCol() const;

    // Picture of a cell (or of the current cell, Row and Col), drawn left of
    // the cell's text.
    void setCellPicture(const QPixmap &picture);
    QPixmap cellPicture(int row, int col) const;
    void setCellPicture(int row, int col, const QPixmap &picture);

    // Empties every cell (texts, pictures, bound rows); Rows and Cols stay.
    void Clear();
    // Repaints now.
    void Refresh();

    // Shows the rows of a query: row 0 the field names, one row per record.
    // Rows = record count + 1, Cols = field count. Null unbinds.
    void bind(ado::ResultSetPtr result);
    ado::ResultSetPtr boundResult() const;
    // The rows follow the bound result's count when it comes after the bind
    // or changes (rows another desk deleted meanwhile are found missing when
    // their part is read): the current row and the view stay where they are
    // while they are still there. The grid calls it itself when it finds the
    // count changed as it reads cells; a grid whose rows the program set
    // after the bind keeps them.
    void followRowCount();
    // Rows of the bound result that could not be read when their turn came
    // (the server not answering, the file locked) are left out: the grid
    // ends before them and says why (ReadFailed). Moving or scrolling past
    // its last row tries them again, as this does.
    void readUnreadRows();

    void setToolTipText(const QString &text) override;

    // The inner table (tests and painting checks).
    QTableView *view() const;

signals:
    void Click();
    void DblClick();
    // The moving keys (arrows, Page Up/Down, Home, End) arrive after the grid
    // moved its current cell; the grid does nothing with other keys, which go
    // on to its window after KeyDown.
    void KeyDown(int &KeyCode, int &Shift);
    // X and Y in twips within the grid; Button holds the buttons down (0 none).
    void MouseMove(int &Button, int &Shift, float &X, float &Y);
    // The user moved the current cell (keys, a click); Row and Col are the new
    // cell. Setting Row or Col from code raises none.
    void RowColChange();
    // Rows of the bound result could not be read (see readUnreadRows): the
    // database's description of why.
    void ReadFailed(const QString &description);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    friend class GridView;
    friend class GridModel;
    void applySelection();
    void syncFromView();
    void clampCurrent();
    void applyWidths();
    void updateRowHeight();
    // Lets followRowCount run once the cells being read now are painted.
    void followRowCountLater();
    QPoint pointerPos() const;

    GridModel *m_model;
    GridView *m_view;
    std::vector<int> m_widths;  // twips per column, -1 = default
    int m_row = 0, m_col = 0, m_rowSel = 0, m_colSel = 0;
    bool m_syncing = false;
    bool m_followQueued = false;
};

}  // namespace vb
