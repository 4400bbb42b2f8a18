#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a normal quit, so that QCoreApplication::aboutToQuit handlers
// (unwritten reading positions among them) run before the process ends. The signal handler
// only writes the signal number to a pipe; a socket notifier reads it on the thread that
// made this object and emits `received` there, where anything may be done.
//
// One object per process: the handlers are process-wide. Destroying it puts back the
// handlers that were installed before.
class PlenvoQuitSignals : public QObject {
    Q_OBJECT

public:
    explicit PlenvoQuitSignals(QObject *parent = nullptr);
    ~PlenvoQuitSignals() override;
    PlenvoQuitSignals(const PlenvoQuitSignals &) = delete;
    PlenvoQuitSignals &operator=(const PlenvoQuitSignals &) = delete;

    // False when the pipe or the handlers could not be set up; the signals then act as before.
    bool isListening() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};
