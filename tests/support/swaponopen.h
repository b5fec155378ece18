#ifndef SWAPONOPEN_H
#define SWAPONOPEN_H

#include <QByteArray>
#include <QString>

#include <atomic>
#include <sys/types.h>
#include <thread>

// Swaps a regular file for a named pipe at the moment a given process first opens it away from
// its main thread, as a rename a few milliseconds after a request does: the open is held (a
// fanotify permission event) until the file has been renamed aside and the pipe renamed into
// its place, then let through. So what the main thread checked and opened of the name before,
// and the descriptor that open returns, is the regular file, and every later open of the name
// meets the pipe (where an open without O_NONBLOCK waits for a writer); where the swap falls is
// the program's own order of work, not a race.
//
// Needs CAP_SYS_ADMIN (the tests run as root); available() is false without it. Both paths
// must be in the test's private home. The watch ends with the object; opens still held then
// are let through by the kernel.
class SwapOnOpen
{
public:
    // file: a regular file; pipe: a named pipe beside it. pid: the process whose open swaps.
    SwapOnOpen(const QString& file, const QString& pipe, pid_t pid);
    ~SwapOnOpen();
    SwapOnOpen(const SwapOnOpen&) = delete;
    SwapOnOpen& operator=(const SwapOnOpen&) = delete;

    bool available() const { return m_group >= 0; }
    bool swapped() const { return m_swapped.load(); }
    // Opens the pipe (now under the file's name) for writing without waiting, which lets a
    // reader held in its open go on.
    void releaseReaders() const;

private:
    void watch();

    QByteArray m_file;
    QByteArray m_pipe;
    pid_t m_pid;
    int m_group = -1;
    int m_stop[2] = { -1, -1 };
    dev_t m_fileDevice = 0;
    ino_t m_fileInode = 0;
    std::atomic<bool> m_swapped { false };
    std::thread m_thread;
};

#endif // SWAPONOPEN_H
