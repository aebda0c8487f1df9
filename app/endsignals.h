#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT (a logout, a shutdown, a closed terminal,
// Ctrl+C) reach the event loop as endRequested(). The handler itself only
// writes the signal's number into a pipe, as a handler may do nothing more;
// a socket notifier reads it on the user-interface thread. One per program.
class EndSignals : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

signals:
    void endRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};
