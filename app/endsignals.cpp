#include "app/endsignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
constexpr std::array<int, 3> endSignals{SIGTERM, SIGHUP, SIGINT};

extern "C" void writeSignalNumber(int signalNumber) {
    const int saved = errno;
    const char number = static_cast<char>(signalNumber);
    // A full pipe already holds a request to end.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = saved;
}

void handle(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

} // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their default: they end the program
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EndSignals::readSignal);
    for (const int signalNumber : endSignals)
        handle(signalNumber, writeSignalNumber);
}

EndSignals::~EndSignals() {
    if (!notifier_)
        return;
    for (const int signalNumber : endSignals)
        handle(signalNumber, SIG_DFL);
    close(signalPipe[0]);
    close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void EndSignals::readSignal() {
    char number = 0;
    while (::read(signalPipe[0], &number, 1) == 1)
        emit endRequested(number);
}
