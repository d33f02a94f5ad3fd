#pragma once
// A bar chart: RowCount rows (one bar group each, with a label) by
// ColumnCount series. Values are written through the current cell:
//
//   Chart_Book->setRowCount(5); Chart_Book->setColumnCount(1);
//   Chart_Book->setRow(1); Chart_Book->setRowLabel("某出版社"); Chart_Book->setData("12");
//   Chart_Book->Refresh();
//
// Rows and columns are numbered from 1. Changing RowCount or ColumnCount
// keeps the values of the cells that remain.
#include "ui/Control.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace vb {

class Chart : public QWidget, public Control {
    Q_OBJECT
public:
    explicit Chart(QWidget *parent = nullptr);
    ~Chart() override;

    int RowCount() const;
    void setRowCount(int n);
    int ColumnCount() const;
    void setColumnCount(int n);

    // The current cell.
    int Row() const;
    void setRow(int row);
    int Column() const;

    // Label of the current row.
    QString RowLabel() const;
    void setRowLabel(const QString &label);
    // Value of the current cell, as text; text that is not a number counts as 0.
    QString Data() const;
    void setData(const QString &value);
    void setData(double value);

    QString TitleText() const;
    void setTitleText(const QString &title);

    // Draws the chart from the values now held.
    void Refresh();

    // Read access for any cell (1-based), without moving the current cell.
    double value(int row, int col = 1) const;
    QString rowLabel(int row) const;

    QChartView *chartView() const { return m_view; }

private:
    void scheduleRefresh();
    void fitCategoryLabels();

    QChartView *m_view;
    QChart *m_chart;
    int m_rows = 0;
    int m_cols = 1;
    int m_row = 1;
    int m_col = 1;
    QStringList m_labels;
    std::vector<std::vector<double>> m_values;  // [row][col]
    QString m_title;
    bool m_refreshPending = false;
};

}  // namespace vb
