#pragma once
// An editor saves over a record only while the record is still as the editor
// loaded it, so that two desks never undo each other's work in silence.
//
// The editor names its row (table, key column, key) and the columns it shows
// and writes. The guard remembers what was loaded; inside the save's
// transaction, before anything is written, Verify reads the row again with a
// write lock (which another desk's save of the same row then waits for) and
// compares the columns this save writes. When another desk changed or deleted
// the row, Verify raises RecordConflict: the transaction rolls back and
// nothing is written. Out of the transaction the editor hands the conflict to
// Resolve, which tells the user and, when asked, reloads: the other desk's
// values go into the boxes this user did not change, the user's own typing
// stays, and the next save compares against the row as reloaded.
//
// Only the written columns are compared: a lending that moves a reader's
// counters does not stop a change of the reader's telephone.
#include "db/Ado.h"
#include "ui/Form.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

// Raised by RecordGuard::Verify inside the save's transaction. Not a
// std::exception: a handler for failures must not take it for one.
struct RecordConflict {
    bool deleted = false;  // the row is gone; otherwise a compared column differs
};

// One column of the row as an editor shows and writes it.
struct GuardedColumn {
    QString column;
    // Puts a stored value into the editor's box (empty: the value is never
    // shown, e.g. a password, and a reload leaves the box alone).
    std::function<void(const QVariant &)> show;
    // What the box holds now, to tell whether the user changed it.
    std::function<QString()> shown;
    // Whether this save writes the column (empty: always); only written
    // columns are compared.
    std::function<bool()> written;
};

class RecordGuard {
public:
    // What a failed load does: pass the column over and go on with the next,
    // or stop there and raise the failure (after remembering the row).
    enum class OnError { Skip, Stop };

    // The row: `keyColumn` empty for a table of one row, read without a condition.
    void Bind(const QString &table, const QString &keyColumn, std::vector<GuardedColumn> columns);
    const std::vector<GuardedColumn> &Columns() const { return m_columns; }

    // Puts the recordset's current row into the boxes, column by column, then
    // remembers it as loaded for `key`. At end of file nothing is shown and
    // the row is remembered as missing.
    void Load(const ado::Recordset &rs, const QString &key, OnError onError = OnError::Skip);
    // Remembers the recordset's current row (end of file: missing), the boxes
    // as they are now showing it.
    void Remember(const ado::Recordset &rs, const QString &key);
    // Remembers stored values already put into the boxes by other means (a
    // grid row's texts), in the order of Columns().
    void Remember(const QString &key, const QStringList &stored);
    // Nothing loaded: Verify lets every save through.
    void Forget();
    bool IsLoaded() const { return m_loaded; }
    QString Key() const { return m_key; }

    // Inside the save's transaction, before it writes: locks the row and
    // raises RecordConflict when it is gone or a written column no longer
    // holds what was loaded. Nothing when nothing was loaded.
    void Verify(ado::Connection &conn) const;

    // Out of the transaction: tells the user what happened. For a changed row
    // it asks whether to take the other desk's values; true when the boxes
    // were reloaded (the user reviews them and saves again).
    bool Resolve(const RecordConflict &conflict, ado::Connection &conn);

    // The texts the user reads (the record named by its table and key): the
    // save stopped by a change, by a deletion, and the record found gone.
    QString ChangedText() const;
    QString DeletedText() const;
    QString GoneText() const;

private:
    QString RecordName() const;  // the table, and the key in brackets
    QString Where() const;
    QString Select(const QStringList &columns) const;
    bool Written(const GuardedColumn &c) const { return !c.written || c.written(); }
    // Takes the row of rs (end of file: missing) as the stored values.
    void TakeStored(const ado::Recordset &rs);
    // Reads the row as stored now, without a lock; false when it is gone.
    bool Reload(ado::Connection &conn);

    QString m_table, m_keyColumn;
    std::vector<GuardedColumn> m_columns;
    bool m_loaded = false;
    bool m_found = false;
    QString m_key;
    std::vector<QVariant> m_stored;  // per column, as read when loaded
    std::vector<QString> m_shown;    // per column, the box as loaded
};

// ---- Columns as the editors show them.

// A column shown as the text of a box (Null as an empty box).
template <class Box> GuardedColumn TextColumn(const QString &column, const vb::Ctl<Box> &box)
{
    return {column,
            [&box](const QVariant &v) { box->setText(v.isNull() ? QString() : v.toString()); },
            [&box] { return box->Text(); },
            {}};
}

// A column chosen in a list of its values: the entry equal to the stored text
// is selected; a value the list lacks leaves the box empty.
template <class Combo> GuardedColumn PickColumn(const QString &column, const vb::Ctl<Combo> &box)
{
    return {column,
            [&box](const QVariant &v) {
                const QString text = v.isNull() ? QString() : v.toString();
                int found = -1;
                for (int i = 0; i < box->ListCount(); ++i)
                    if (box->List(i) == text) found = i;
                if (found >= 0)
                    box->setListIndex(found);
                else
                    box->setText(QString());
            },
            [&box] { return box->Text(); },
            {}};
}

// A column shown as one of a two-entry list: entry 0 when `first` holds of
// the stored value, else entry 1.
template <class Combo>
GuardedColumn ChoiceColumn(const QString &column, const vb::Ctl<Combo> &box, bool (*first)(const QVariant &))
{
    return {column,
            [&box, first](const QVariant &v) { box->setListIndex(first(v) ? 0 : 1); },
            [&box] { return box->Text(); },
            {}};
}

// A yes/no column holding yes (not Null, not 0).
inline bool StoredYes(const QVariant &v) { return v.isValid() && !v.isNull() && v.toLongLong() != 0; }
// A status column holding "正常".
inline bool StoredNormal(const QVariant &v) { return v.toString() == QStringLiteral("正常"); }
