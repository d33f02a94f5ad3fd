#include "core/Mdl_Boot.h"

#include "core/Frm_Login.h"
#include "core/Mdl_ComVarList.h"
#include "ui/Form.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The lock that tells a copy of the program that another one runs from the
// same folder, on the same settings and database files. It lives in that
// folder, never where the environment points (XDG_RUNTIME_DIR, TMPDIR), so a
// copy started with other values still finds it. The kernel drops it with its
// process, so a copy that crashed never blocks the next start.
int g_instanceLock = -1;

// Takes the lock on `path` without waiting: 1 taken, 0 held by another
// process, -1 the file can't be opened. A lock needs no write access, so a
// file that may only be read still serves.
int lockFile(const QString &path, bool create)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (fd < 0) fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return 0;
    }
    g_instanceLock = fd;
    return 1;
}

bool takeInstanceLock()
{
    if (g_instanceLock >= 0) return true;
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    // ".veltrane.lock" beside the program. In a folder where it can't be made
    // (read-only, or the name taken by a folder) the program file itself is
    // locked: it is always there and readable, so such a folder still has
    // its one copy, and the program still starts.
    const QString lock = exe.absoluteDir().filePath(QLatin1Char('.') + exe.fileName() + QStringLiteral(".lock"));
    int got = lockFile(lock, true);
    if (got < 0) got = lockFile(exe.absoluteFilePath(), false);
    return got != 0;  // no lock at all: run rather than refuse
}

}  // namespace

bool Main()
{
    if (!takeInstanceLock()) return false;

    QString path = QCoreApplication::applicationDirPath();
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    AppPath = path;
    AppVersion = QString::number(APP_VERSION_MAJOR) + QLatin1Char('.') + QString::number(APP_VERSION_MINOR)
                 + QLatin1Char('.') + QString::number(APP_VERSION_PATCH);

    vb::Default<Frm_Login>().Show(vb::vbModeless);
    return true;
}
