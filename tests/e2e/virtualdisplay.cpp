#include "virtualdisplay.h"

#include <QByteArray>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const int ReadyTimeoutMs = 30000;
}

VirtualDisplay::~VirtualDisplay()
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
}

bool VirtualDisplay::start(int width, int height)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return false;
    const QByteArray fd = QByteArray::number(ready[1]);
    const QByteArray screen = QByteArray::number(width) + 'x' + QByteArray::number(height) + "x24";
    pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        // Its own process group: a signal meant for the test does not reach the server first.
        ::setpgid(0, 0);
        // A test that dies (a crash, a watchdog's kill) takes its server with it.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", screen.constData(),
                 "-nolisten", "tcp", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ready[1]);
    if (pid < 0) {
        ::close(ready[0]);
        return false;
    }
    // The server writes its display number once it takes connections.
    QByteArray number;
    pollfd wait = { ready[0], POLLIN, 0 };
    while (!number.endsWith('\n') && ::poll(&wait, 1, ReadyTimeoutMs) > 0) {
        char c;
        const ssize_t got = ::read(ready[0], &c, 1);
        if (got == 1)
            number += c;
        else if (got == 0 || errno != EINTR)
            break;
    }
    ::close(ready[0]);
    if (!number.endsWith('\n')) {
        std::fprintf(stderr, "Xvfb did not start (is the xvfb package installed?)\n");
        return false;
    }
    display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
    qputenv("DISPLAY", display.toLatin1());
    return true;
}
