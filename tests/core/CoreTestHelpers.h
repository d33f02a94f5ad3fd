#pragma once
// Helpers of the core window tests: clicking drawn buttons as a user does,
// recording messages, and a program folder of their own with the settings files.
#include "TestSupport.h"

#include "controls/XButton.h"
#include "core/Mdl_ComVarList.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QList>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest>

// The pointer comes over the button, then the left button goes down and up on it.
inline void clickButton(XButton *b, QPoint at = QPoint())
{
    if (at.isNull()) at = b->rect().center();
    // The move goes straight to the button: with windows stacked over each
    // other, a move through the cursor may land on the window below.
    QCursor::setPos(b->mapToGlobal(at));
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(b->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(b, &move);
    QTest::mouseClick(b, Qt::LeftButton, {}, at);
}

struct RecordedMsg {
    QString text, icon, title;
};

// Records every message while alive and answers with `answer`.
struct MsgLog {
    QList<RecordedMsg> msgs;
    int answer = 1;
    MsgLog()
    {
        SetMsgBoxHook([this](const QString &m, const QString &i, const QString &t) {
            msgs.append({m, i, t});
            return answer;
        });
    }
    ~MsgLog() { SetMsgBoxHook(nullptr); }
    int count() const { return int(msgs.size()); }
    RecordedMsg last() const { return msgs.isEmpty() ? RecordedMsg{} : msgs.last(); }
};

// A program folder: Saves/ with the two settings files, the pictures linked in.
struct AppFolder {
    QTemporaryDir dir;
    QString path;  // ends in "/"
    explicit AppFolder(bool withSaves = true)
    {
        path = dir.path() + QStringLiteral("/");
        if (withSaves) QDir().mkpath(path + QStringLiteral("Saves"));
        QFile::link(testsupport::resourcesDir() + QStringLiteral("Images"), path + QStringLiteral("Images"));
    }
    QString file(const QString &name) const { return path + QStringLiteral("Saves/") + name; }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString &name) const { return QFile::exists(file(name)); }
};

#include "core/ChildFormSwitch.h"
#include "ui/Form.h"
#include "ui/Intrinsics.h"

#include <QTimer>
#include <map>

// A stand-in for a window of another layer: counts its loads and unloads.
// A modal one closes itself as soon as it is up.
class StubForm : public vb::Form {
public:
    StubForm(const QString &name, bool child, bool closesItself = false) : vb::Form(name), m_closesItself(closesItself)
    {
        setMdiChild(child);
        setCaption(name);
    }
    int loads = 0;
    int unloads = 0;
    QString state;  // something a user set, lost when the window reloads

protected:
    void CreateControls() override { new vb::Label(client(), QStringLiteral("Lbl_Name"), ClassName()); }
    void Form_Load() override
    {
        ++loads;
        state.clear();
        if (m_closesItself) QTimer::singleShot(0, this, [this] { Unload(); });
    }
    void Form_Unload(int &) override { ++unloads; }

private:
    bool m_closesItself;
};

// Registers a stub under `name` (once per process) and returns it. Stubs live
// as long as the process, like the default instances they stand in for; their
// map is never destroyed, so the leak check at exit still finds them reachable.
inline StubForm &registerStub(const QString &name, bool child = true, bool closesItself = false)
{
    static auto *stubs = new std::map<QString, StubForm *>;
    auto it = stubs->find(name);
    if (it == stubs->end()) {
        auto *f = new StubForm(name, child, closesItself);
        it = stubs->emplace(name, f).first;
        RegisterChildForm(name, [f] { return f; });
    }
    return *it->second;
}

#include "core/Mdl_SQLConnection.h"
#include "support/TempDb.h"

// A logged-in session on a fresh database: the shared connection open, the
// server values and the user set as a login sets them.
struct Session {
    testsupport::TempDb db;
    explicit Session(const QString &user = QStringLiteral("admin"))
    {
        AppPath = testsupport::resourcesDir();
        SQLServer = db.server();
        SQLUID = db.uid();
        SQLPassword = db.pwd();
        SQLDB = db.database();
        if (SQLConn().State() != ado::adStateClosed) SQLConn().Close();
        OpenSQLConnection(SQLConn(), SQLServer, SQLUID, SQLPassword, SQLDB);
        CurUID = user;
    }
    ~Session()
    {
        if (SQLConn().State() != ado::adStateClosed) SQLConn().Close();
    }
};
