#include "core/Mdl_Boot.h"

#include "core/Frm_Login.h"
#include "core/Mdl_ComVarList.h"
#include "ui/Form.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The lock that tells a copy of the program that another one runs. The
// kernel drops it with its process, so a copy that crashed never blocks the
// next start. One lock per program file, so copies in other folders are free.
int g_instanceLock = -1;

bool takeInstanceLock()
{
    if (g_instanceLock >= 0) return true;
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QByteArray key = QCryptographicHash::hash(exe.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/") + QFileInfo(exe).fileName() + QStringLiteral("-")
                         + QString::fromLatin1(key) + QStringLiteral(".lock");
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no place for a lock: run rather than refuse
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    g_instanceLock = fd;
    return true;
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
