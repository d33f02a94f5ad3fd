#pragma once
// Counts the QObjects alive in the process while an instance exists, through
// the object hooks Qt keeps for debugging tools (qtHookData: entries 3 and 4
// are called from every QObject's constructor and destructor). A count that
// keeps rising while the same window opens and closes again is a leak, even
// when the objects stay reachable and the leak check at exit finds nothing.
//
//   testsupport::LiveObjects live;
//   ... open and close a window ...
//   const qint64 before = live.count();
#include <QApplication>
#include <QObject>
#include <QWidget>
#include <QtGlobal>
#include <atomic>

extern "C" Q_DECL_IMPORT quintptr qtHookData[];

namespace testsupport {

class LiveObjects {
public:
    LiveObjects()
    {
        Q_ASSERT(!s_active);  // one counter at a time: the hooks are process-wide
        s_active = true;
        s_count = 0;
        m_prevAdd = qtHookData[kAddQObject];
        m_prevRemove = qtHookData[kRemoveQObject];
        qtHookData[kAddQObject] = reinterpret_cast<quintptr>(&added);
        qtHookData[kRemoveQObject] = reinterpret_cast<quintptr>(&removed);
    }
    ~LiveObjects()
    {
        qtHookData[kAddQObject] = m_prevAdd;
        qtHookData[kRemoveQObject] = m_prevRemove;
        s_active = false;
    }
    LiveObjects(const LiveObjects &) = delete;
    LiveObjects &operator=(const LiveObjects &) = delete;

    // Objects made since the counter started, less those destroyed since
    // (objects older than the counter make it go below zero when they go).
    static qint64 count() { return s_count.load(); }
    // Every widget alive, made before the counter or after.
    static int widgets() { return int(QApplication::allWidgets().size()); }

private:
    // Indices into qtHookData (QHooks::AddQObject, QHooks::RemoveQObject).
    static constexpr int kAddQObject = 3;
    static constexpr int kRemoveQObject = 4;

    static void added(QObject *) { ++s_count; }
    static void removed(QObject *) { --s_count; }

    static inline std::atomic<qint64> s_count{0};
    static inline bool s_active = false;
    quintptr m_prevAdd = 0;
    quintptr m_prevRemove = 0;
};

}  // namespace testsupport
