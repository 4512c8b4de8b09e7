// Ordered exit on SIGTERM, SIGINT and SIGHUP (see ExitSignals.h).
#include "tray/ExitSignals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kesto {

namespace {

constexpr std::array kSignals = {SIGTERM, SIGINT, SIGHUP};

// The pipe's writing end, for the handler; -1 while no ExitSignals exists.
volatile std::sig_atomic_t g_writeEnd = -1;

extern "C" void OnExitSignal(int signal)
{
    // Only async-signal-safe calls: one byte into a non-blocking pipe. A full pipe
    // already holds a wake-up, so a byte lost there loses nothing.
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    if (g_writeEnd >= 0)
        (void)!::write(g_writeEnd, &byte, 1);
    errno = saved;
}

void SetAction(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

ExitSignals::ExitSignals(std::function<void(int)> onSignal) : m_onSignal(std::move(onSignal))
{
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default action
    g_writeEnd = m_pipe[1];
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { Read(); });
    for (const int signal : kSignals)
        SetAction(signal, OnExitSignal);
}

ExitSignals::~ExitSignals()
{
    if (m_pipe[0] < 0)
        return;
    for (const int signal : kSignals)
        SetAction(signal, SIG_DFL);
    g_writeEnd = -1;
    m_notifier.reset();
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void ExitSignals::EndByDefault(int signal)
{
    SetAction(signal, SIG_DFL);
    ::raise(signal);
}

void ExitSignals::Read()
{
    unsigned char byte = 0;
    while (::read(m_pipe[0], &byte, 1) == 1)
        m_onSignal(byte);
}

} // namespace kesto
