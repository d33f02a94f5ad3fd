#pragma once
// A list in report view: column headers, one row per item with a tick box
// (setCheckboxes) and sub-items in the columns after the first.
//
//   Lst_View->ColumnHeaders().Add("图书名称", 3000);
//   vb::ListItem it = Lst_View->ListItems().Add("书名");
//   it.setSubItems(1, "B0001");
//   it.setChecked(true);
//   for (int i = 1; i <= Lst_View->ListItems().Count(); ++i)
//       if (Lst_View->ListItems()(i).Checked()) ...
//
// Items are numbered from 1. A ListItem is a handle to a row; it stays valid
// until the list is cleared.
#include "ui/Control.h"

#include <QString>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace vb {

class ListView;

class ListItem {
public:
    ListItem() = default;
    bool isNull() const { return m_item == nullptr; }

    int Index() const;  // 1-based position in the list
    QString Text() const;
    void setText(const QString &text);
    // Sub-item i (1 = second column ...).
    QString SubItems(int i) const;
    void setSubItems(int i, const QString &text);
    bool Checked() const;
    void setChecked(bool checked);

    bool operator==(const ListItem &o) const { return m_item == o.m_item; }

private:
    friend class ListView;
    friend class ListItemCollection;
    ListItem(ListView *owner, QTreeWidgetItem *item) : m_owner(owner), m_item(item) { }
    ListView *m_owner = nullptr;
    QTreeWidgetItem *m_item = nullptr;
};

class ListItemCollection {
public:
    ListItem Add(const QString &text = QString());
    int Count() const;
    ListItem Item(int index) const;  // 1-based; a null item when out of range
    ListItem operator()(int index) const { return Item(index); }
    void Clear();

private:
    friend class ListView;
    explicit ListItemCollection(ListView *owner) : m_owner(owner) { }
    ListView *m_owner;
};

class ColumnHeaderCollection {
public:
    // Appends a column with its header text and width in twips.
    void Add(const QString &text, int widthTwips = 1440);
    int Count() const;
    QString Text(int index) const;  // 1-based
    int Width(int index) const;     // twips
    void setWidth(int index, int widthTwips);
    void Clear();

private:
    friend class ListView;
    explicit ColumnHeaderCollection(ListView *owner) : m_owner(owner) { }
    ListView *m_owner;
};

class ListView : public QWidget, public Control {
    Q_OBJECT
public:
    explicit ListView(QWidget *parent = nullptr);
    ~ListView() override;

    ListItemCollection ListItems() { return ListItemCollection(this); }
    ColumnHeaderCollection ColumnHeaders() { return ColumnHeaderCollection(this); }

    // A tick box on every row (on by default).
    void setCheckboxes(bool on);

    void setToolTipText(const QString &text) override;

    QTreeWidget *view() const;

signals:
    void ItemCheck(vb::ListItem item);  // the user ticked or unticked a row
    void ItemClick(vb::ListItem item);
    void Click();
    void DblClick();

private:
    friend class ListItem;
    friend class ListItemCollection;
    friend class ColumnHeaderCollection;
    ListItem wrap(QTreeWidgetItem *item) { return ListItem(this, item); }

    void prepare(QTreeWidgetItem *item);

    QTreeWidget *m_tree;
    bool m_checkboxes = true;
    int m_columns = 0;
    int m_quiet = 0;  // > 0 while the program itself changes items
};

}  // namespace vb
