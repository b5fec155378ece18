#include "terminationhandler.h"

#include "common/logging.h"

#include <QApplication>
#include <QDebug>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = { -1, -1 };
}

TerminationHandler::TerminationHandler(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        qCWarning(lcShell) << Q_FUNC_INFO << "- cannot watch for termination signals";
        return;
    }
    notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, SIGNAL(activated(int)), this, SLOT(handleSignal()));

    struct sigaction action = {};
    action.sa_handler = &TerminationHandler::signalHandler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

TerminationHandler::~TerminationHandler()
{
    if (!notifier)
        return;
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    delete notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TerminationHandler::signalHandler(int signalNumber)
{
    const char byte = char(signalNumber);
    // Only async-signal-safe calls here: the loop does the rest.
    if (signalPipe[0] >= 0)
        (void)!::write(signalPipe[0], &byte, 1);
}

void TerminationHandler::handleSignal()
{
    char byte = 0;
    if (::read(signalPipe[1], &byte, 1) != 1)
        return;
    qCDebug(lcShell) << Q_FUNC_INFO << "- signal" << int(byte) << ", closing";
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}
