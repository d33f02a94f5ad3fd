#include "ui/Grid.h"

#include "ui/Colors.h"
#include "ui/Fonts.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <vector>

namespace vb {

namespace {

constexpr int kDefaultColWidth = 960;  // twips

quint64 cellKey(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }

Qt::Alignment qtAlignment(int flex, bool numeric)
{
    Qt::Alignment h = Qt::AlignLeft;
    Qt::Alignment v = Qt::AlignVCenter;
    switch (flex) {
    case flexAlignLeftTop: v = Qt::AlignTop; break;
    case flexAlignLeftCenter: break;
    case flexAlignLeftBottom: v = Qt::AlignBottom; break;
    case flexAlignCenterTop:
        h = Qt::AlignHCenter;
        v = Qt::AlignTop;
        break;
    case flexAlignCenterCenter: h = Qt::AlignHCenter; break;
    case flexAlignCenterBottom:
        h = Qt::AlignHCenter;
        v = Qt::AlignBottom;
        break;
    case flexAlignRightTop:
        h = Qt::AlignRight;
        v = Qt::AlignTop;
        break;
    case flexAlignRightCenter: h = Qt::AlignRight; break;
    case flexAlignRightBottom:
        h = Qt::AlignRight;
        v = Qt::AlignBottom;
        break;
    default: h = numeric ? Qt::AlignRight : Qt::AlignLeft; break;
    }
    return h | v;
}

bool looksNumeric(const QString &s)
{
    if (s.isEmpty()) return false;
    bool ok = false;
    s.toDouble(&ok);
    return ok;
}

}  // namespace

// The cells of the grid. Texts come from three layers, the first that has
// the cell wins: texts written by the program, the bound query result (row 0
// its field names, row r its record r - 1), empty.
class GridModel : public QAbstractTableModel {
    friend class Grid;

public:
    explicit GridModel(Grid *grid) : QAbstractTableModel(grid), m_grid(grid) { }

    int rows = 2;
    int cols = 2;
    int fixedRows = 1;
    ado::ResultSetPtr bound;
    int boundRows = 0;  // grid rows still showing the result (header included)
    int boundCols = 0;
    QHash<quint64, QString> texts;
    QHash<quint64, QPixmap> pictures;
    std::vector<int> alignments;  // per column; missing = general
    QString toolTip;

    QString text(int row, int col) const
    {
        if (row < 0 || col < 0 || row >= rows || col >= cols) return QString();
        if (!texts.isEmpty()) {
            auto it = texts.constFind(cellKey(row, col));
            if (it != texts.constEnd()) return *it;
        }
        if (bound && row < boundRows && col < boundCols) {
            if (row == 0) return bound->columnName(col);
            const QString t = bound->text(row - 1, col);
            // Reading a row may find the result shorter than counted (or
            // its count come in): the rows follow once this paint is done.
            if (boundRows == rows && bound->rowCount() + 1 != boundRows) m_grid->followRowCountLater();
            return t;
        }
        return QString();
    }

    int alignment(int col) const
    {
        return col >= 0 && col < int(alignments.size()) ? alignments[col] : flexAlignGeneral;
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : std::max(0, rows - fixedRows);
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : cols; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const int row = index.row() + fixedRows;
        switch (role) {
        case Qt::DisplayRole: return text(row, index.column());
        case Qt::DecorationRole: {
            if (pictures.isEmpty()) return QVariant();
            auto it = pictures.constFind(cellKey(row, index.column()));
            return it == pictures.constEnd() ? QVariant() : QVariant(*it);
        }
        case Qt::TextAlignmentRole: {
            const int a = alignment(index.column());
            const bool numeric = a == flexAlignGeneral && looksNumeric(text(row, index.column()));
            return int(qtAlignment(a, numeric));
        }
        default: return QVariant();
        }
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (o != Qt::Horizontal || fixedRows == 0) return QVariant();
        if (role == Qt::DisplayRole) return text(0, section);
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
        return QVariant();
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    // Cell changes, in grid coordinates.
    void cellChanged(int row, int col)
    {
        if (row < fixedRows)
            emit headerDataChanged(Qt::Horizontal, col, col);
        else
            emit dataChanged(index(row - fixedRows, col), index(row - fixedRows, col));
    }

    void reset(const std::function<void()> &change)
    {
        beginResetModel();
        change();
        endResetModel();
    }

    void dropCellsOutside(int maxRows, int maxCols)
    {
        auto outside = [&](quint64 k) { return int(k >> 32) >= maxRows || int(quint32(k)) >= maxCols; };
        for (auto it = texts.begin(); it != texts.end();) it = outside(it.key()) ? texts.erase(it) : std::next(it);
        for (auto it = pictures.begin(); it != pictures.end();)
            it = outside(it.key()) ? pictures.erase(it) : std::next(it);
    }

private:
    Grid *m_grid;
};

bool cellPicturesKept = true;

// Draws a cell's picture at its left edge, the text after it.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QVariant deco = index.data(Qt::DecorationRole);
        if (!deco.isValid()) {
            if (!paintKept(p, option, index)) QStyledItemDelegate::paint(p, option, index);
            return;
        }
        QPixmap pm = deco.value<QPixmap>();
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        opt.icon = QIcon();
        opt.features &= ~QStyleOptionViewItem::HasDecoration;
        const QWidget *w = opt.widget;
        QStyle *style = w ? w->style() : nullptr;
        if (style) style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, p, w);
        // Pictures taller than the row are scaled to it; wider than the
        // column, they are cut at its right edge.
        QSize sz = pm.size();
        const QRect r = option.rect;
        if (sz.height() > r.height() - 2) sz.scale(QSize(sz.width(), std::max(1, r.height() - 2)), Qt::KeepAspectRatio);
        const QRect pr(r.left() + 1, r.top() + (r.height() - sz.height()) / 2, sz.width(), sz.height());
        p->save();
        p->setClipRect(r);
        p->drawPixmap(pr, pm);
        p->restore();
        if (!opt.text.isEmpty() && style) {
            opt.rect.setLeft(pr.right() + 3);
            opt.backgroundBrush = Qt::NoBrush;
            opt.state &= ~QStyle::State_HasFocus;
            style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
        }
    }

private:
    // A list refreshed shows mostly the texts it showed, a row up or down:
    // laying a text out (shaping, eliding) costs far more than copying the
    // cell drawn before. A cell is drawn once onto the grid's background
    // and kept under everything its picture depends on.
    bool paintKept(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
    {
        if (!cellPicturesKept || option.rect.isEmpty() || p->transform().type() > QTransform::TxTranslate
            || p->device()->devicePixelRatio() != 1.0)
            return false;
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        if (opt.state & QStyle::State_HasFocus) return false;
        const QWidget *w = opt.widget;
        QStyle *style = w ? w->style() : QApplication::style();
        QString key;
        key.reserve(opt.text.size() + 96);
        key += opt.text;
        key += QChar(0);
        key += QString::number(opt.rect.width()) + QLatin1Char('x') + QString::number(opt.rect.height())
               + QLatin1Char(' ') + QString::number(int(opt.state)) + QLatin1Char(' ')
               + QString::number(int(opt.displayAlignment)) + QLatin1Char(' ') + QString::number(int(opt.features))
               + QLatin1Char(' ') + QString::number(int(opt.textElideMode)) + QLatin1Char(' ')
               + QString::number(opt.palette.cacheKey()) + QLatin1Char(' ') + QString::number(int(p->renderHints()))
               + QLatin1Char(' ') + QString::number(quintptr(style)) + QLatin1Char(' ') + opt.font.key();
        auto it = m_kept.constFind(key);
        if (it == m_kept.constEnd()) {
            QImage img(opt.rect.size(), QImage::Format_ARGB32_Premultiplied);
            img.fill(toQColor(kWhite));  // the grid's background, under cells that draw none
            QPainter ip(&img);
            ip.setRenderHints(p->renderHints());
            ip.setFont(p->font());
            ip.setPen(p->pen());
            QStyleOptionViewItem at(opt);
            at.rect.moveTo(0, 0);
            style->drawControl(QStyle::CE_ItemViewItem, &at, &ip, w);
            ip.end();
            if (m_kept.size() >= kKept) m_kept.clear();
            it = m_kept.insert(key, img);
        }
        p->drawImage(opt.rect.topLeft(), *it);
        return true;
    }

    static constexpr int kKept = 1500;  // cells: about three screens of a wide list, a few MB
    mutable QHash<QString, QImage> m_kept;
};

class GridView : public QTableView {
public:
    GridView(Grid *grid) : QTableView(grid), m_grid(grid) { }

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        int code = keyCodeOf(e->key());
        int shift = shiftOf(e->modifiers());
        const bool nav = e->key() == Qt::Key_Up || e->key() == Qt::Key_Down || e->key() == Qt::Key_Left
                         || e->key() == Qt::Key_Right || e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown
                         || e->key() == Qt::Key_Home || e->key() == Qt::Key_End;
        if (nav) {
            // The grid moves first; the handler then sees the new row.
            QTableView::keyPressEvent(e);
            emit m_grid->KeyDown(code, shift);
            e->accept();
            return;
        }
        emit m_grid->KeyDown(code, shift);
        // Other keys do nothing in the grid itself (no search by typing).
        e->ignore();
    }

    // Click after the view has made the clicked row current; a double click
    // gives DblClick and no second Click.
    void mousePressEvent(QMouseEvent *e) override
    {
        m_leftDown = e->button() == Qt::LeftButton;
        QTableView::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QTableView::mouseReleaseEvent(e);
        const bool click = m_leftDown && e->button() == Qt::LeftButton;
        m_leftDown = false;
        if (click) emit m_grid->Click();
    }
    void mouseDoubleClickEvent(QMouseEvent *e) override
    {
        QTableView::mouseDoubleClickEvent(e);
        m_leftDown = false;
        if (e->button() == Qt::LeftButton) emit m_grid->DblClick();
    }

    // The grid lists records a row at a time: Home and End go to the first and
    // the last record (with or without Ctrl), in the column where the user is.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        // Going past the rows shown tries again those that could not be read.
        if (action == MoveEnd || ((action == MoveDown || action == MovePageDown || action == MoveNext) && endShown()))
            m_grid->readUnreadRows();
        if ((action == MoveHome || action == MoveEnd) && model() && model()->rowCount() > 0) {
            const int col = std::max(0, currentIndex().column());
            return model()->index(action == MoveHome ? 0 : model()->rowCount() - 1, col);
        }
        return QTableView::moveCursor(action, modifiers);
    }

    void wheelEvent(QWheelEvent *e) override
    {
        if (e->angleDelta().y() < 0 && endShown()) m_grid->readUnreadRows();
        QTableView::wheelEvent(e);
    }

public:
    // Rows added below those on screen change the scroll bar alone: the
    // cells shown are not laid out and painted again for them.
    void growBelowScreen(const std::function<void()> &grow)
    {
        executeDelayedItemsLayout();  // what was pending before is shown as before
        const bool below = model() && model()->rowCount() > 0 && rowAt(viewport()->height() - 1) >= 0;
        grow();
        if (!below) return;
        m_quiet = true;
        executeDelayedItemsLayout();
        m_quiet = false;
    }

    void doItemsLayout() override
    {
        if (m_quiet)
            updateGeometries();
        else
            QTableView::doItemsLayout();
    }

protected:
    // Whether the last row is on screen.
    bool endShown() const
    {
        const int rows = model() ? model()->rowCount() : 0;
        if (rows == 0) return true;
        const int bottom = rowAt(viewport()->height() - 1);
        return bottom < 0 || bottom >= rows - 1;
    }

private:
    Grid *m_grid;
    bool m_leftDown = false;
    bool m_quiet = false;
};

Grid::Grid(QWidget *parent) : QWidget(parent), Control(this), m_model(new GridModel(this)), m_view(new GridView(this))
{
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_view);
    setFocusProxy(m_view);
    setFont(CompactFont());  // columns of numbers sized in twips

    m_view->setModel(m_model);
    connect(m_view->verticalScrollBar(), &QScrollBar::sliderReleased, this, [this] {
        const QScrollBar *bar = m_view->verticalScrollBar();
        if (bar->value() == bar->maximum()) readUnreadRows();
    });
    m_view->setItemDelegate(new GridDelegate(m_view));
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setTabKeyNavigation(false);
    m_view->setWordWrap(false);
    m_view->setCornerButtonEnabled(false);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_view->horizontalHeader()->setSectionsClickable(false);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setMinimumSectionSize(0);
    m_view->horizontalHeader()->setStretchLastSection(false);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->viewport()->setMouseTracking(true);
    m_view->horizontalHeader()->viewport()->setMouseTracking(true);
    m_view->viewport()->installEventFilter(this);
    m_view->horizontalHeader()->viewport()->installEventFilter(this);
    m_view->setStyleSheet(
        QStringLiteral("QTableView { background: %1; gridline-color: %2; }"
                       "QHeaderView::section { background: %3; color: %4; padding: 0 3px;"
                       " border: none; border-right: 1px solid %5; border-bottom: 1px solid %5; }")
            .arg(cssColor(kWhite), cssColor(kSilver), cssColor(kLightGrey), cssColor(kBlack), cssColor(kShadowGrey)));
    // The selection stays highlighted while the grid has no focus.
    QPalette pal = m_view->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    m_view->setPalette(pal);
    updateRowHeight();

    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &) { syncFromView(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyWidths();
        m_view->horizontalHeader()->setVisible(m_model->fixedRows > 0);
    });
    connect(m_model, &QAbstractItemModel::columnsInserted, this, [this] { applyWidths(); });
    m_view->horizontalHeader()->setVisible(true);
    applyWidths();
}

Grid::~Grid() = default;

void Grid::setCellPicturesKept(bool kept) { cellPicturesKept = kept; }

QTableView *Grid::view() const { return m_view; }

void Grid::updateRowHeight()
{
    const int h = m_view->fontMetrics().height() + 4;
    m_view->verticalHeader()->setMinimumSectionSize(1);
    m_view->verticalHeader()->setDefaultSectionSize(h);
    m_view->horizontalHeader()->setFixedHeight(h);
}

void Grid::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange) updateRowHeight();
}

void Grid::applyWidths()
{
    QHeaderView *h = m_view->horizontalHeader();
    for (int c = 0; c < m_model->cols; ++c) h->resizeSection(c, toPx(ColWidth(c)));
}

// ---- size ----

int Grid::Rows() const { return m_model->rows; }

void Grid::setRows(int rows)
{
    rows = std::max(rows, m_model->fixedRows);
    GridModel &m = *m_model;
    if (rows == m.rows) return;
    const int f = m.fixedRows;
    if (rows < m.rows) {
        m.beginRemoveRows(QModelIndex(), rows - f, m.rows - f - 1);
        m.rows = rows;
        m.boundRows = std::min(m.boundRows, rows);
        m.dropCellsOutside(rows, m.cols);
        m.endRemoveRows();
    } else {
        m.beginInsertRows(QModelIndex(), m.rows - f, rows - f - 1);
        m.rows = rows;
        m.endInsertRows();
    }
    clampCurrent();
}

int Grid::Cols() const { return m_model->cols; }

void Grid::setCols(int cols)
{
    cols = std::max(cols, 0);
    GridModel &m = *m_model;
    if (cols == m.cols) return;
    if (cols < m.cols) {
        m.beginRemoveColumns(QModelIndex(), cols, m.cols - 1);
        m.cols = cols;
        m.boundCols = std::min(m.boundCols, cols);
        m.dropCellsOutside(m.rows, cols);
        m.endRemoveColumns();
    } else {
        m.beginInsertColumns(QModelIndex(), m.cols, cols - 1);
        m.cols = cols;
        m.endInsertColumns();
    }
    clampCurrent();
}

int Grid::FixedRows() const { return m_model->fixedRows; }

void Grid::setFixedRows(int n)
{
    n = std::clamp(n, 0, 1);
    if (n == m_model->fixedRows) return;
    m_model->reset([&] {
        m_model->fixedRows = n;
        m_model->rows = std::max(m_model->rows, n);
    });
    clampCurrent();
}

// ---- cells ----

QString Grid::TextMatrix(int row, int col) const { return m_model->text(row, col); }

void Grid::setTextMatrix(int row, int col, const QString &text)
{
    if (row < 0 || col < 0 || row >= m_model->rows || col >= m_model->cols) return;
    m_model->texts.insert(cellKey(row, col), text);
    m_model->cellChanged(row, col);
}

QString Grid::Text() const { return TextMatrix(m_row, m_col); }
void Grid::setText(const QString &text) { setTextMatrix(m_row, m_col, text); }

int Grid::ColWidth(int col) const
{
    if (col < 0) return 0;
    return col < int(m_widths.size()) && m_widths[col] >= 0 ? m_widths[col] : kDefaultColWidth;
}

void Grid::setColWidth(int col, int twips)
{
    if (col < 0) return;
    if (col >= int(m_widths.size())) m_widths.resize(col + 1, -1);
    m_widths[col] = std::max(twips, 0);
    if (col < m_model->cols) m_view->horizontalHeader()->resizeSection(col, toPx(m_widths[col]));
}

int Grid::ColAlignment(int col) const { return m_model->alignment(col); }

void Grid::setColAlignment(int col, int alignment)
{
    if (col < 0 || alignment < flexAlignLeftTop || alignment > flexAlignGeneral) return;
    auto &a = m_model->alignments;
    if (col >= int(a.size())) a.resize(col + 1, flexAlignGeneral);
    a[col] = alignment;
    if (col < m_model->cols && m_model->rowCount() > 0)
        emit m_model->dataChanged(m_model->index(0, col), m_model->index(m_model->rowCount() - 1, col),
                                  {Qt::TextAlignmentRole});
}

void Grid::setCellPicture(const QPixmap &picture) { setCellPicture(m_row, m_col, picture); }

QPixmap Grid::cellPicture(int row, int col) const { return m_model->pictures.value(cellKey(row, col)); }

void Grid::setCellPicture(int row, int col, const QPixmap &picture)
{
    if (row < 0 || col < 0 || row >= m_model->rows || col >= m_model->cols) return;
    if (picture.isNull())
        m_model->pictures.remove(cellKey(row, col));
    else
        m_model->pictures.insert(cellKey(row, col), picture);
    m_model->cellChanged(row, col);
}

void Grid::Clear()
{
    m_model->reset([this] {
        m_model->texts.clear();
        m_model->pictures.clear();
        m_model->bound.reset();
        m_model->boundRows = m_model->boundCols = 0;
    });
    applySelection();
}

void Grid::Refresh()
{
    m_view->viewport()->update();
    m_view->horizontalHeader()->viewport()->update();
    m_view->viewport()->repaint();
}

void Grid::bind(ado::ResultSetPtr result)
{
    m_model->reset([&] {
        GridModel &m = *m_model;
        m.texts.clear();
        m.pictures.clear();
        m.bound = std::move(result);
        if (m.bound) {
            m.rows = std::max(m.bound->rowCount() + 1, m.fixedRows);
            m.cols = m.bound->columnCount();
            m.boundRows = m.rows;
            m.boundCols = m.cols;
        } else {
            m.boundRows = m.boundCols = 0;
        }
    });
    m_row = m_rowSel = std::min(m_model->fixedRows, m_model->rows - 1);
    m_col = m_colSel = 0;
    clampCurrent();
}

ado::ResultSetPtr Grid::boundResult() const { return m_model->bound; }

void Grid::followRowCount()
{
    m_followQueued = false;
    GridModel &m = *m_model;
    // Rows the program set after the bind are its own.
    if (!m.bound || m.boundRows != m.rows) return;
    const int want = std::max(m.bound->rowCount() + 1, m.fixedRows);
    if (want != m.rows) {
        const int vv = m_view->verticalScrollBar()->value();
        auto resize = [&] {
            setRows(want);
            m.boundRows = m.rows;
        };
        if (want > m.rows)
            m_view->growBelowScreen(resize);
        else
            resize();
        m_view->verticalScrollBar()->setValue(vv);
    }
    // Told here, once the cells being read are painted, never while painting.
    const QString failure = m.bound->takeReadFailure();
    if (!failure.isEmpty()) emit ReadFailed(failure);
}

void Grid::readUnreadRows()
{
    GridModel &m = *m_model;
    if (!m.bound || m.boundRows != m.rows || !m.bound->rowsUnread()) return;
    m.bound->readAgain();
    followRowCount();
}

void Grid::followRowCountLater()
{
    if (m_followQueued) return;
    m_followQueued = true;
    QMetaObject::invokeMethod(this, &Grid::followRowCount, Qt::QueuedConnection);
}

void Grid::setToolTipText(const QString &text)
{
    Control::setToolTipText(text);
    m_model->toolTip = text;
}

// ---- current cell and selection ----

int Grid::Row() const { return m_row; }
int Grid::Col() const { return m_col; }
int Grid::RowSel() const { return m_rowSel; }
int Grid::ColSel() const { return m_colSel; }

void Grid::setRow(int row)
{
    if (row < 0 || row >= m_model->rows) return;
    m_row = m_rowSel = row;
    m_colSel = m_col;
    applySelection();
}

void Grid::setCol(int col)
{
    if (col < 0 || col >= m_model->cols) return;
    m_col = m_colSel = col;
    m_rowSel = m_row;
    applySelection();
}

void Grid::setColSel(int col)
{
    if (col < 0 || col >= m_model->cols) return;
    m_colSel = col;
    applySelection();
}

void Grid::clampCurrent()
{
    auto clampTo = [](int v, int n) { return n <= 0 ? 0 : std::clamp(v, 0, n - 1); };
    m_row = clampTo(m_row, m_model->rows);
    m_rowSel = clampTo(m_rowSel, m_model->rows);
    m_col = clampTo(m_col, m_model->cols);
    m_colSel = clampTo(m_colSel, m_model->cols);
    applySelection();
}

// Shows Row/Col as the view's current cell and Row..RowSel x Col..ColSel as
// its selection, without scrolling.
void Grid::applySelection()
{
    QItemSelectionModel *sm = m_view->selectionModel();
    const int f = m_model->fixedRows;
    const int hv = m_view->horizontalScrollBar()->value();
    const int vv = m_view->verticalScrollBar()->value();
    m_syncing = true;
    if (m_row >= f && m_row < m_model->rows && m_col < m_model->cols)
        sm->setCurrentIndex(m_model->index(m_row - f, m_col), QItemSelectionModel::NoUpdate);
    else
        sm->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    const int r0 = std::max(std::min(m_row, m_rowSel), f), r1 = std::max(m_row, m_rowSel);
    const int c0 = std::min(m_col, m_colSel), c1 = std::max(m_col, m_colSel);
    if (r1 >= r0 && r1 < m_model->rows && c1 < m_model->cols && m_model->cols > 0)
        sm->select(QItemSelection(m_model->index(r0 - f, c0), m_model->index(r1 - f, c1)),
                   QItemSelectionModel::ClearAndSelect);
    else
        sm->clearSelection();
    m_syncing = false;
    m_view->horizontalScrollBar()->setValue(hv);
    m_view->verticalScrollBar()->setValue(vv);
}

// The user moved the current cell (keys, clicks): the row follows it.
void Grid::syncFromView()
{
    if (m_syncing) return;
    const QModelIndex cur = m_view->currentIndex();
    if (!cur.isValid()) return;
    const int row = cur.row() + m_model->fixedRows;
    const int col = cur.column();
    const bool moved = row != m_row || col != m_col;
    m_row = m_rowSel = row;
    m_col = m_colSel = col;
    if (moved) emit RowColChange();
}

// ---- mouse ----

// Where the pointer is now, in the grid's own coordinates.
QPoint Grid::pointerPos() const { return mapFromGlobal(QCursor::pos()); }

int Grid::MouseRow() const
{
    const QPoint pos = pointerPos();
    QHeaderView *h = m_view->horizontalHeader();
    if (h->isVisible() && h->rect().contains(h->mapFrom(this, pos))) return 0;
    const QPoint inView = m_view->viewport()->mapFrom(this, pos);
    if (!m_view->viewport()->rect().contains(inView)) return -1;
    const int r = m_view->rowAt(inView.y());
    return r < 0 ? -1 : r + m_model->fixedRows;
}

int Grid::MouseCol() const
{
    const QPoint inView = m_view->viewport()->mapFrom(this, pointerPos());
    if (inView.x() < 0 || inView.x() >= m_view->viewport()->width()) return -1;
    return m_view->columnAt(inView.x());
}

bool Grid::eventFilter(QObject *watched, QEvent *e)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w) return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::MouseMove: {
        auto *me = static_cast<QMouseEvent *>(e);
        const QPoint p = w->mapTo(this, me->position().toPoint());
        int button = buttonsOf(me->buttons());
        int shift = shiftOf(me->modifiers());
        float x = float(toTwips(p.x()));
        float y = float(toTwips(p.y()));
        emit MouseMove(button, shift, x, y);
        break;
    }
    case QEvent::ToolTip: {
        auto *he = static_cast<QHelpEvent *>(e);
        if (!m_model->toolTip.isEmpty())
            QToolTip::showText(he->globalPos(), m_model->toolTip, w);
        else
            QToolTip::hideText();
        return true;
    }
    default: break;
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace vb
