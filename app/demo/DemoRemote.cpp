#include "DemoRemote.h"

#include "VirtualMouse.h"
#include "Widget.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

DemoOptions DemoOptions::read(int argc, char **argv)
{
    DemoOptions options;
    for (int i = 1; i < argc; ++i) {
        for (auto [name, value] : {std::pair{"--memory-file", &options.memoryFile},
                                   std::pair{"--choose-file", &options.chooseFile}}) {
            const size_t length = std::strlen(name);
            if (std::strcmp(argv[i], name) == 0 && i + 1 < argc)
                *value = QString::fromLocal8Bit(argv[++i]);
            else if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=')
                *value = QString::fromLocal8Bit(argv[i] + length + 1);
        }
    }
    return options;
}

void EchoingNotifier::showMessage(const QString &title, const QString &text,
                                  QSystemTrayIcon::MessageIcon icon, int millisecondsTimeout)
{
    std::fprintf(stderr, "notice: %s: %s\n", qPrintable(title), qPrintable(text));
    std::fflush(stderr);
    if (next)
        next->showMessage(title, text, icon, millisecondsTimeout);
}

namespace {

// A signal handler may only write; the event loop reads one byte per signal: the DPI stage for
// SIGUSR1 (0: the next stage), quitByte for the others.
int signalPipe[2] = {-1, -1};
constexpr unsigned char quitByte = 0xff;

void onSignal(int number, siginfo_t *info, void *)
{
    const int saved = errno;
    unsigned char byte = quitByte;
    if (number == SIGUSR1) {
        const int stage = info->si_code == SI_QUEUE ? info->si_value.sival_int : 0;
        byte = stage >= 1 && stage <= 8 ? static_cast<unsigned char>(stage) : 0;
    }
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

void handleDemoSignals(Widget &window, VirtualMouse *mouse)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, mouse] {
        unsigned char byte;
        while (::read(signalPipe[0], &byte, 1) == 1) {
            if (byte == quitByte)
                window.exitSYS();
            else if (mouse)
                byte ? mouse->pressDpiButton(byte) : mouse->pressDpiButton();
        }
    });
    struct sigaction action = {};
    action.sa_sigaction = onSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGUSR1, SIGTERM, SIGINT})
        sigaction(number, &action, nullptr);
}
