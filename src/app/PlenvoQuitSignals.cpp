#include "PlenvoQuitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};

// Written only while no handler is installed; read by the handler.
int g_writeEnd = -1;
int g_readEnd = -1;
struct sigaction g_previous[std::size(kSignals)];

// Async-signal-safe: write(2) on a non-blocking pipe, errno kept. A full pipe drops the byte;
// a quit is already on its way then.
void forward(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

PlenvoQuitSignals::PlenvoQuitSignals(QObject *parent)
    : QObject(parent)
{
    if (g_readEnd >= 0)
        return; // another object already listens
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_readEnd = ends[0];
    g_writeEnd = ends[1];

    struct sigaction action { };
    action.sa_handler = forward;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);

    m_notifier = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PlenvoQuitSignals::readPipe);
}

PlenvoQuitSignals::~PlenvoQuitSignals()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_readEnd);
    ::close(g_writeEnd);
    g_readEnd = g_writeEnd = -1;
}

void PlenvoQuitSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(g_readEnd, &byte, 1) == 1)
        emit received(int(byte));
}
