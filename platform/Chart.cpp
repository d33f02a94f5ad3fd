#include "platform/Chart.h"

#include <QChart>
#include <QChartView>

namespace vb {

Chart::Chart(QWidget *parent)
    : QWidget(parent), Control(this), m_view(new QChartView(this)), m_chart(new QChart)
{
    m_view->setChart(m_chart);
}
Chart::~Chart() = default;
int Chart::RowCount() const { return m_rows; }
void Chart::setRowCount(int n) { m_rows = n; }
int Chart::ColumnCount() const { return m_cols; }
void Chart::setColumnCount(int n) { m_cols = n; }
int Chart::Row() const { return m_row; }
void Chart::setRow(int r) { m_row = r; }
int Chart::Column() const { return m_col; }
void Chart::setColumn(int c) { m_col = c; }
QString Chart::RowLabel() const { return {}; }
void Chart::setRowLabel(const QString &) {}
QString Chart::Data() const { return {}; }
void Chart::setData(const QString &) {}
void Chart::setData(double) {}
QString Chart::TitleText() const { return m_title; }
void Chart::setTitleText(const QString &t) { m_title = t; }
void Chart::Refresh() {}
double Chart::value(int, int) const { return 0; }
QString Chart::rowLabel(int) const { return {}; }
void Chart::scheduleRefresh() {}

}  // namespace vb
