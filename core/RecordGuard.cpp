#include "core/RecordGuard.h"

#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"

#include <QDateTime>
#include <exception>

namespace {

// One value as two reads of it compare. Null and the empty text are one: the
// editors show both as an empty box and write the box back. A loaded value
// taken from a grid's text compares with the value read now in its text form.
QString canonical(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) return QString();
    if (v.typeId() == QMetaType::QByteArray) return QString::fromLatin1(v.toByteArray());
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().toString(Qt::ISODate);
    return v.toString();
}

}  // namespace

void RecordGuard::Bind(const QString &table, const QString &keyColumn, std::vector<GuardedColumn> columns)
{
    m_table = table;
    m_keyColumn = keyColumn;
    m_columns = std::move(columns);
    Forget();
}

void RecordGuard::Forget()
{
    m_loaded = false;
    m_found = false;
    m_key.clear();
    m_stored.clear();
    m_shown.clear();
}

void RecordGuard::Load(const ado::Recordset &rs, const QString &key, OnError onError)
{
    std::exception_ptr failure;
    if (rs.State() == ado::adStateOpen && !rs.EOF_()) {
        for (const GuardedColumn &c : m_columns) {
            if (!c.show) continue;
            try {
                c.show(rs.Fields(c.column));
            } catch (...) {
                if (onError == OnError::Skip) continue;
                failure = std::current_exception();
                break;
            }
        }
    }
    Remember(rs, key);
    if (failure) std::rethrow_exception(failure);
}

void RecordGuard::Remember(const ado::Recordset &rs, const QString &key)
{
    Forget();
    if (rs.State() != ado::adStateOpen) return;  // nothing was read: nothing to hold the save to
    m_key = key;
    TakeStored(rs);
    for (const GuardedColumn &c : m_columns) m_shown.push_back(c.shown ? c.shown() : QString());
    m_loaded = true;
}

void RecordGuard::Remember(const QString &key, const QStringList &stored)
{
    Forget();
    m_key = key;
    m_found = true;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        m_stored.emplace_back(stored.value(qsizetype(i)));
        m_shown.push_back(m_columns[i].shown ? m_columns[i].shown() : QString());
    }
    m_loaded = true;
}

void RecordGuard::TakeStored(const ado::Recordset &rs)
{
    m_found = !rs.EOF_();
    m_stored.assign(m_columns.size(), QVariant());
    if (!m_found) return;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        try {
            m_stored[i] = rs.Fields(m_columns[i].column);
        } catch (const std::exception &) {
            // A column the row lacks reads as empty, now and at the save.
        }
    }
}

QString RecordGuard::Where() const
{
    return m_keyColumn.isEmpty() ? QString()
                                 : QStringLiteral(" WHERE ") + m_keyColumn + QStringLiteral(" = ") + SQLQuote(m_key);
}

QString RecordGuard::Select(const QStringList &columns) const
{
    return QStringLiteral("SELECT ") + (columns.isEmpty() ? QStringLiteral("*") : columns.join(QStringLiteral(", ")))
           + QStringLiteral(" FROM ") + m_table;
}

void RecordGuard::Verify(ado::Connection &conn) const
{
    if (!m_loaded) return;
    QStringList compared;
    std::vector<size_t> index;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (!Written(m_columns[i])) continue;
        compared << m_columns[i].column;
        index.push_back(i);
    }
    // Locked until the transaction ends: another desk's save of this row waits
    // for ours, then finds it changed.
    ado::Recordset rs;
    rs.Open(Select(compared.isEmpty() && !m_keyColumn.isEmpty() ? QStringList{m_keyColumn} : compared)
                + QStringLiteral(" WITH (UPDLOCK)") + Where(),
            conn);
    if (rs.EOF_()) throw RecordConflict{true};
    if (!m_found) throw RecordConflict{false};
    for (size_t j = 0; j < index.size(); ++j)
        if (canonical(rs.Fields(int(j))) != canonical(m_stored[index[j]])) throw RecordConflict{false};
}

bool RecordGuard::Reload(ado::Connection &conn)
{
    QStringList all;
    for (const GuardedColumn &c : m_columns) all << c.column;
    ado::Recordset rs;
    rs.Open(Select(all) + Where(), conn);
    if (rs.EOF_()) {
        m_found = false;
        return false;
    }
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const GuardedColumn &c = m_columns[i];
        const QVariant now = rs.Fields(int(i));
        // The other desk's value where this user left the box as loaded.
        if (c.show && c.shown && c.shown() == m_shown[i]) {
            try {
                c.show(now);
            } catch (...) {
                // The box keeps what it showed, as a load would leave it.
            }
            m_shown[i] = c.shown();
        }
        m_stored[i] = now;
    }
    m_found = true;
    return true;
}

bool RecordGuard::Resolve(const RecordConflict &conflict, ado::Connection &conn)
{
    if (!conflict.deleted) {
        if (!AskQuestion(ChangedText(), QStringLiteral("记录已被修改"))) return false;
        try {
            if (Reload(conn)) return true;
        } catch (const std::exception &e) {
            ShowError(e);
            return false;
        }
    }
    ShowErrorText(DeletedText());
    return false;
}

namespace {
const QString kNothingSaved = QStringLiteral("本次未保存任何内容。");
}

QString RecordGuard::RecordName() const
{
    return m_keyColumn.isEmpty() ? m_table : m_table + QStringLiteral(" [ ") + m_key + QStringLiteral(" ]");
}

QString RecordGuard::ChangedText() const
{
    return RecordName() + QStringLiteral(" 已被其他用户修改，") + kNothingSaved + QStringLiteral("\r\n")
           + QStringLiteral("是否载入对方的修改？您改动过的项仍保留您的输入，请核对后再保存。");
}

QString RecordGuard::DeletedText() const
{
    return RecordName() + QStringLiteral(" 已被其他用户删除，") + kNothingSaved;
}

QString RecordGuard::GoneText() const { return RecordName() + QStringLiteral(" 已被其他用户删除。"); }
