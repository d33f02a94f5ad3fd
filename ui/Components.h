#pragma once
// The controls without a face of their own: timer, image list and the file
// dialog.
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>
#include <exception>
#include <functional>

namespace vb {

// ---------------------------------------------------------------- Timer
// Not a widget. Interval in milliseconds (0 means off); Tick runs at every
// interval while the timer is enabled.
class Timer : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Interval READ Interval WRITE setInterval)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
public:
    Timer(QObject *parent, const QString &name, int intervalMs = 0, bool enabled = true);

    int Interval() const { return m_interval; }
    void setInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool e);

signals:
    void Tick();  // the Timer event

private:
    void sync();
    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = true;
};

// ---------------------------------------------------------------- ImageList
class ImageList : public QObject {
    Q_OBJECT
public:
    ImageList(QObject *parent, const QString &name);

    // ListImages.Add: returns the new picture's 1-based index.
    int Add(const QPixmap &picture);
    int AddFile(const QString &path);
    int Count() const { return int(m_images.size()); }
    // ListImages(i).Picture, 1-based; a null pixmap out of range.
    QPixmap ListImage(int index) const;

private:
    QVector<QPixmap> m_images;
};

// ---------------------------------------------------------------- CommonDialog
// The file dialog: ShowOpen with Filter "description|*.a;*.b|...", FileName the choice.
// With CancelError, cancelling throws Cancelled (the error cdlCancel, 32755);
// otherwise FileName keeps what it held.
class CommonDialog : public QObject {
    Q_OBJECT
public:
    CommonDialog(QObject *parent, const QString &name);

    static constexpr int cdlCancel = 32755;
    struct Cancelled : std::exception {
        const char *what() const noexcept override { return "Cancel was selected."; }
    };

    QString Filter;
    QString FileName;
    QString DialogTitle;
    QString InitDir;
    int FilterIndex = 1;
    bool CancelError = false;
    // cdlOFNOverwritePrompt (2) and cdlOFNFileMustExist (4096): the Qt dialogs
    // always ask before overwriting and always insist on an existing file to open.
    static constexpr long cdlOFNOverwritePrompt = 2;
    static constexpr long cdlOFNFileMustExist = 4096;
    long Flags = 0;

    void ShowOpen();
    void ShowSave();

    // Name filters for a Qt file dialog from a Filter text.
    static QStringList qtFilters(const QString &filter);

    // Test seam: while set, ShowOpen/ShowSave ask the hook instead of showing
    // a dialog; an empty answer is a cancel.
    using Hook = std::function<QString(const CommonDialog &dlg, bool save)>;
    static void setHook(Hook hook);

private:
    void run(bool save);
};

}  // namespace vb
