#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// SIGTERM and SIGHUP (the session ends, a `kill`) end the program as closing its window
// does, settings and window place saved. The handler only writes a byte into a pipe; the
// event loop reads it and calls back, where any code may run. The default handling comes
// back when this object goes.
class EndSignals : public QObject
{
public:
    explicit EndSignals(std::function<void()> onSignal);
    ~EndSignals() override;
    Q_DISABLE_COPY_MOVE(EndSignals)

private:
    QSocketNotifier *m_notifier = nullptr;
    std::function<void()> m_onSignal;
};
