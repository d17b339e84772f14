#include "ui/qt_pending_events.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>

#include "text/pending_events.h"

namespace qm {

namespace {

// Notes every event delivered while pending events are being run.
class EventCounter : public QObject {
public:
    using QObject::QObject;
    int counting = 0;
    long handled = 0;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (counting > 0 && counts(event->type())) ++handled;
        return QObject::eventFilter(watched, event);
    }

private:
    static bool counts(QEvent::Type type) {
        switch (type) {
            // What timers cause on their own: ticks and the repaints they ask for.
            case QEvent::Timer:
            case QEvent::ZeroTimerEvent:
            case QEvent::UpdateRequest:
            case QEvent::UpdateLater:
            case QEvent::Paint:
                return false;
            default:
                return true;
        }
    }
};

EventCounter* counter() {
    static QPointer<EventCounter> instance;
    if (!instance && QCoreApplication::instance()) {
        instance = new EventCounter(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(instance);
    }
    return instance.data();
}

}  // namespace

bool run_qt_pending_events() {
    EventCounter* events = counter();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!events || !dispatcher) return false;
    const long before = events->handled;
    ++events->counting;
    dispatcher->processEvents(QEventLoop::AllEvents);
    // Events posted while the ones above ran (a click posts more than one).
    QCoreApplication::sendPostedEvents();
    --events->counting;
    return events->handled != before;
}

void install_qt_pending_events_hook() {
    counter();
    set_pending_events_hook([] { return run_qt_pending_events(); });
}

}  // namespace qm
