#include "ui/ListView.h"

#include "ui/Fonts.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vb {

namespace {
// Changes made by the program raise no ItemCheck.
struct Quiet {
    explicit Quiet(int &n) : n(n) { ++n; }
    ~Quiet() { --n; }
    int &n;
};
}  // namespace

// ---- ListItem ----

int ListItem::Index() const { return m_item ? m_owner->m_tree->indexOfTopLevelItem(m_item) + 1 : 0; }

QString ListItem::Text() const { return m_item ? m_item->text(0) : QString(); }

void ListItem::setText(const QString &text)
{
    if (!m_item) return;
    Quiet q(m_owner->m_quiet);
    m_item->setText(0, text);
}

QString ListItem::SubItems(int i) const { return m_item && i >= 1 ? m_item->text(i) : QString(); }

void ListItem::setSubItems(int i, const QString &text)
{
    if (!m_item || i < 1) return;
    Quiet q(m_owner->m_quiet);
    m_item->setText(i, text);
}

bool ListItem::Checked() const { return m_item && m_item->checkState(0) == Qt::Checked; }

void ListItem::setChecked(bool checked)
{
    if (!m_item) return;
    Quiet q(m_owner->m_quiet);
    m_item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

// ---- ListItemCollection ----

ListItem ListItemCollection::Add(const QString &text)
{
    Quiet q(m_owner->m_quiet);
    auto *item = new QTreeWidgetItem;
    item->setText(0, text);
    m_owner->prepare(item);
    m_owner->m_tree->addTopLevelItem(item);
    return m_owner->wrap(item);
}

int ListItemCollection::Count() const { return m_owner->m_tree->topLevelItemCount(); }

ListItem ListItemCollection::Item(int index) const
{
    QTreeWidgetItem *item = m_owner->m_tree->topLevelItem(index - 1);
    return item ? m_owner->wrap(item) : ListItem();
}

void ListItemCollection::Clear()
{
    Quiet q(m_owner->m_quiet);
    m_owner->m_tree->clear();
}

// ---- ColumnHeaderCollection ----

void ColumnHeaderCollection::Add(const QString &text, int widthTwips)
{
    QTreeWidget *t = m_owner->m_tree;
    const int n = m_owner->m_columns++;
    t->setColumnCount(std::max(1, n + 1));
    t->headerItem()->setText(n, text);
    t->header()->resizeSection(n, toPx(widthTwips));
}

int ColumnHeaderCollection::Count() const { return m_owner->m_columns; }

QString ColumnHeaderCollection::Text(int index) const
{
    return index >= 1 && index <= Count() ? m_owner->m_tree->headerItem()->text(index - 1) : QString();
}

int ColumnHeaderCollection::Width(int index) const
{
    return index >= 1 && index <= Count() ? toTwips(m_owner->m_tree->header()->sectionSize(index - 1)) : 0;
}

void ColumnHeaderCollection::setWidth(int index, int widthTwips)
{
    if (index >= 1 && index <= Count()) m_owner->m_tree->header()->resizeSection(index - 1, toPx(widthTwips));
}

void ColumnHeaderCollection::Clear()
{
    m_owner->m_tree->setColumnCount(1);
    m_owner->m_tree->headerItem()->setText(0, QString());
    m_owner->m_columns = 0;
}

// ---- ListView ----

ListView::ListView(QWidget *parent) : QWidget(parent), Control(this), m_tree(new QTreeWidget(this))
{
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_tree);
    setFocusProxy(m_tree);
    setFont(CompactFont());  // columns sized in twips, as the grid's
    m_tree->setRootIsDecorated(false);
    m_tree->setUniformRowHeights(true);
    m_tree->setItemsExpandable(false);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionsMovable(false);
    m_tree->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_tree->setColumnCount(1);
    m_tree->headerItem()->setText(0, QString());

    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (m_quiet == 0 && column == 0) emit ItemCheck(wrap(item));
    });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item, int) {
        emit ItemClick(wrap(item));
        emit Click();
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *, int) { emit DblClick(); });
}

ListView::~ListView() = default;

QTreeWidget *ListView::view() const { return m_tree; }

void ListView::prepare(QTreeWidgetItem *item)
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_checkboxes) {
        f |= Qt::ItemIsUserCheckable;
        item->setCheckState(0, Qt::Unchecked);
    }
    item->setFlags(f);
}

void ListView::setCheckboxes(bool on)
{
    if (on == m_checkboxes) return;
    m_checkboxes = on;
    Quiet q(m_quiet);
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_tree->topLevelItem(i);
        if (on) {
            prepare(item);
        } else {
            item->setData(0, Qt::CheckStateRole, QVariant());
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        }
    }
}

void ListView::setToolTipText(const QString &text)
{
    Control::setToolTipText(text);
    m_tree->setToolTip(text);
}

}  // namespace vb
