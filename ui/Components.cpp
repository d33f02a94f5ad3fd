#include "ui/Components.h"

#include "ui/PictureBox.h"

#include <QFileDialog>

namespace vb {

// ---------------------------------------------------------------- Timer

Timer::Timer(QObject *parent, const QString &name, int intervalMs, bool enabled)
    : QObject(parent), m_timer(this), m_interval(qMax(0, intervalMs)), m_enabled(enabled)
{
    setObjectName(name);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::Tick);
    sync();
}

void Timer::setInterval(int ms)
{
    m_interval = qMax(0, ms);
    m_timer.stop();  // a new interval counts from now
    sync();
}

void Timer::setEnabled(bool e)
{
    if (e == m_enabled) return;
    m_enabled = e;
    m_timer.stop();
    sync();
}

void Timer::sync()
{
    if (m_enabled && m_interval > 0) {
        if (!m_timer.isActive()) m_timer.start(m_interval);
    } else {
        m_timer.stop();
    }
}

// ---------------------------------------------------------------- ImageList

ImageList::ImageList(QObject *parent, const QString &name) : QObject(parent) { setObjectName(name); }

int ImageList::Add(const QPixmap &picture)
{
    m_images.push_back(picture);
    return int(m_images.size());
}

int ImageList::AddFile(const QString &path) { return Add(LoadPicture(path)); }

QPixmap ImageList::ListImage(int index) const
{
    if (index < 1 || index > m_images.size()) return QPixmap();
    return m_images.at(index - 1);
}

// ---------------------------------------------------------------- CommonDialog

namespace {
CommonDialog::Hook &dialogHook()
{
    static CommonDialog::Hook h;
    return h;
}
}  // namespace

CommonDialog::CommonDialog(QObject *parent, const QString &name) : QObject(parent) { setObjectName(name); }

void CommonDialog::setHook(Hook hook) { dialogHook() = std::move(hook); }

QStringList CommonDialog::qtFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList pats = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &p : pats) p = p.trimmed();
        // "BMP格式 (*.bmp)": the description may show the patterns itself.
        QString desc = parts.at(i).trimmed();
        if (desc.endsWith(QLatin1Char(')')) && desc.contains(QLatin1Char('(')))
            desc = desc.left(desc.lastIndexOf(QLatin1Char('('))).trimmed();
        out << desc + QLatin1String(" (") + pats.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

void CommonDialog::ShowOpen() { run(false); }
void CommonDialog::ShowSave() { run(true); }

void CommonDialog::run(bool save)
{
    QString chosen;
    if (dialogHook()) {
        chosen = dialogHook()(*this, save);
    } else {
        const QStringList filters = qtFilters(Filter);
        QString selected =
            (FilterIndex >= 1 && FilterIndex <= filters.size()) ? filters.at(FilterIndex - 1) : QString();
        QString dir = InitDir;
        if (!FileName.isEmpty()) dir = FileName;
        if (save)
            chosen =
                QFileDialog::getSaveFileName(nullptr, DialogTitle, dir, filters.join(QLatin1String(";;")), &selected);
        else
            chosen =
                QFileDialog::getOpenFileName(nullptr, DialogTitle, dir, filters.join(QLatin1String(";;")), &selected);
        const int idx = filters.indexOf(selected);
        if (!chosen.isEmpty() && idx >= 0) FilterIndex = idx + 1;
    }
    if (chosen.isEmpty()) {
        if (CancelError) throw Cancelled();
        return;
    }
    FileName = chosen;
}

}  // namespace vb
