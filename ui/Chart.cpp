#include "ui/Chart.h"

#include "ui/Fonts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace vb {

// The view is made with its chart: a view made without one makes a chart of its
// own, and setChart only lets go of that one, it does not free it.
Chart::Chart(QWidget *parent)
    : QWidget(parent), Control(this), m_view(new QChartView(new QChart, this)), m_chart(m_view->chart())
{
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_view);
    m_chart->legend()->hide();
    m_chart->setBackgroundRoundness(0);
    connect(m_chart, &QChart::plotAreaChanged, this, [this] { fitCategoryLabels(); });
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFocusPolicy(Qt::NoFocus);  // a picture of figures: no key does anything in it
    Refresh();
}

Chart::~Chart() = default;

int Chart::RowCount() const { return m_rows; }

void Chart::setRowCount(int n)
{
    n = std::max(n, 0);
    m_rows = n;
    m_labels.resize(n);
    m_values.resize(n, std::vector<double>(m_cols, 0.0));
    m_row = std::clamp(m_row, 1, std::max(1, n));
    scheduleRefresh();
}

int Chart::ColumnCount() const { return m_cols; }

void Chart::setColumnCount(int n)
{
    n = std::max(n, 1);
    m_cols = n;
    for (auto &r : m_values) r.resize(n, 0.0);
    m_col = std::clamp(m_col, 1, n);
    scheduleRefresh();
}

int Chart::Row() const { return m_row; }
void Chart::setRow(int row)
{
    if (row >= 1 && row <= m_rows) m_row = row;
}

int Chart::Column() const { return m_col; }

QString Chart::RowLabel() const { return rowLabel(m_row); }

void Chart::setRowLabel(const QString &label)
{
    if (m_row < 1 || m_row > m_rows) return;
    m_labels[m_row - 1] = label;
    scheduleRefresh();
}

QString Chart::Data() const { return QString::number(value(m_row, m_col)); }

void Chart::setData(const QString &value)
{
    bool ok = false;
    const double v = value.trimmed().toDouble(&ok);
    setData(ok ? v : 0.0);
}

void Chart::setData(double value)
{
    if (m_row < 1 || m_row > m_rows || !std::isfinite(value)) return;
    m_values[m_row - 1][m_col - 1] = value;
    scheduleRefresh();
}

QString Chart::TitleText() const { return m_title; }

void Chart::setTitleText(const QString &title)
{
    m_title = title;
    m_chart->setTitle(title);
}

double Chart::value(int row, int col) const
{
    if (row < 1 || row > m_rows || col < 1 || col > m_cols) return 0.0;
    return m_values[row - 1][col - 1];
}

QString Chart::rowLabel(int row) const { return row >= 1 && row <= m_rows ? m_labels[row - 1] : QString(); }

void Chart::scheduleRefresh()
{
    if (m_refreshPending) return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_refreshPending) Refresh();
    });
}

void Chart::Refresh()
{
    m_refreshPending = false;
    m_chart->removeAllSeries();
    for (QAbstractAxis *a : m_chart->axes()) {
        m_chart->removeAxis(a);
        delete a;
    }

    auto *series = new QBarSeries;
    double lo = 0.0, hi = 0.0;
    for (int c = 0; c < m_cols; ++c) {
        auto *set = new QBarSet(QString::number(c + 1));
        for (int r = 0; r < m_rows; ++r) {
            const double v = m_values[r][c];
            *set << v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        series->append(set);
    }
    m_chart->addSeries(series);

    // The category axis drops empty and repeated names; such labels get
    // trailing zero-width spaces, which draw nothing, to tell them apart.
    QStringList cats;
    for (int r = 0; r < m_rows; ++r) {
        QString l = m_labels[r];
        if (l.isEmpty()) l = QChar(0x200B);
        while (cats.contains(l)) l += QChar(0x200B);
        cats << l;
    }
    auto *x = new QBarCategoryAxis;
    x->append(cats);
    x->setLabelsFont(CompactFont());
    auto *y = new QValueAxis;
    y->setLabelsFont(CompactFont());
    if (hi == lo) hi = lo + 1.0;
    y->setRange(lo, hi + (hi - lo) * 0.1);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%g"));
    m_chart->addAxis(x, Qt::AlignBottom);
    m_chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    m_chart->setTitle(m_title);
    fitCategoryLabels();
}

// A row label wider than its bar's share of the plot would be cut short (two
// ISBNs that differ in their last digits would read alike): the labels then
// stand upright under the bars, where the whole text has room.
void Chart::fitCategoryLabels()
{
    const QList<QAbstractAxis *> axes = m_chart->axes(Qt::Horizontal);
    auto *x = axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis *>(axes.first());
    if (!x || m_rows <= 0) return;
    const QFontMetrics fm(x->labelsFont());
    int widest = 0;
    for (const QString &l : x->categories()) widest = std::max(widest, fm.horizontalAdvance(l));
    const qreal share = m_chart->plotArea().width() / m_rows;
    const int angle = (share > 0 && widest + fm.averageCharWidth() > share) ? -90 : 0;
    if (x->labelsAngle() != angle) x->setLabelsAngle(angle);
}

}  // namespace vb
