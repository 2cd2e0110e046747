#pragma once

#include <QHash>
#include <QObject>

#include <cstdint>

class QSocketNotifier;
struct xcb_connection_t;

// Whether windows of the X display are fully covered by others. Qt tells a
// minimised or hidden window apart, but takes a covered one for exposed; this
// asks the X server for the visibility changes of the windows it is given, on
// a connection of its own (event choices are per connection, so the toolkit's
// own stay as they are). Without a display it watches nothing. Main thread.
class X11WindowCover : public QObject {
    Q_OBJECT
public:
    static X11WindowCover& shared();

    explicit X11WindowCover(QObject* parent = nullptr);
    ~X11WindowCover() override;

    void watch(uint32_t window);
    bool isFullyCovered(uint32_t window) const { return m_covered.value(window, false); }

Q_SIGNALS:
    void changed(uint32_t window);

private:
    void readEvents();

    xcb_connection_t* m_connection = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    QHash<uint32_t, bool> m_covered;
};
