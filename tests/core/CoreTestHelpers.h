#pragma once
// Helpers of the core window tests: clicking drawn buttons as a user does,
// recording messages, and a program folder of their own with the settings files.
#include "TestSupport.h"

#include "controls/XButton.h"
#include "core/Mdl_ComVarList.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QMouseEvent>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QtTest>

// The pointer comes over the button, then the left button goes down and up on it.
inline void clickButton(XButton *b, QPoint at = QPoint())
{
    if (at.isNull())
        at = b->rect().center();
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
        if (withSaves)
            QDir().mkpath(path + QStringLiteral("Saves"));
        QFile::link(testsupport::resourcesDir() + QStringLiteral("Images"), path + QStringLiteral("Images"));
    }
    QString file(const QString &name) const { return path + QStringLiteral("Saves/") + name; }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString &name) const { return QFile::exists(file(name)); }
};
