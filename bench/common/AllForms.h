#pragma once
// Every window of the program, registered as the program's own start
// registers them, so that the main window reaches each by its class name.
#include "catalogue/BookForms.h"
#include "catalogue/LibraryForms.h"
#include "catalogue/ReaderForms.h"
#include "circulation/CirculationForms.h"
#include "core/AdminForms.h"
#include "core/Frm_Main.h"
#include "core/Mdl_ComVarList.h"
#include "core/Mdl_SQLConnection.h"
#include "core/SessionDialogs.h"
#include "db/Engine.h"

#include <QCoreApplication>
#include <QDir>
#include <functional>

inline void RegisterAllForms()
{
    RegisterSessionDialogs();
    RegisterAdminForms();
    RegisterBookForms();
    RegisterLibraryForms();
    RegisterReaderForms();
    RegisterCirculationForms();
}

// The program's one connection, to `info`, as a login makes it.
inline void UseDatabase(const ado::ConnectionInfo &info)
{
    if (SQLConn().State() != ado::adStateClosed) SQLConn().Close();
    SQLServer = info.server;
    SQLUID = info.uid;
    SQLPassword = info.pwd;
    SQLDB = info.isEmbedded() ? info.embeddedPath() : info.database;
    OpenSQLConnection(SQLConn(), SQLServer, SQLUID, SQLPassword, SQLDB);
}

// A session as admin on `info`, as the program's login leaves it (every
// window registered, the main window shown), with every message answered
// OK and its text handed to `message`.
inline Frm_Main &AdminSession(const ado::ConnectionInfo &info, std::function<void(const QString &)> message)
{
    AppPath =
        QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin")).absolutePath() + QStringLiteral("/");
    UseDatabase(info);
    CurUID = QStringLiteral("admin");
    SetMsgBoxHook([message](const QString &m, const QString &, const QString &) {
        message(m);
        return 1;
    });
    Frm_Main::SetEndHandler([] {});
    RegisterAllForms();
    Frm_Main &m = vb::Default<Frm_Main>();
    m.Show(vb::vbModeless);
    return m;
}
