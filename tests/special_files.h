#pragma once
// Files that are not regular files, for the tests of writes that must leave
// them alone.

#include <QFile>
#include <QString>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

inline bool makeFifo(const QString &path) { return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0; }

// A listening socket bound to path; the descriptor, or -1.
inline int makeSocket(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (size_t(name.size()) >= sizeof address.sun_path)
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A character device node like /dev/null; false where the system does not
// let us create one (no root, or a container without the right).
inline bool makeNullDevice(const QString &path)
{
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

// The file type bits of path (links not followed), 0 when it is missing.
inline mode_t fileType(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

inline bool isRoot() { return ::geteuid() == 0; }

// Feeds bytes into a FIFO from another thread once a reader opens it (gives
// up after 30 s without one, so a test that never reads cannot hang).
class FifoWriter {
public:
    FifoWriter(const QString &path, const QByteArray &bytes)
        : m_ignorePipe(::signal(SIGPIPE, SIG_IGN)), m_thread([name = QFile::encodeName(path), bytes] {
              const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
              int fd = -1;
              while ((fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0
                     && std::chrono::steady_clock::now() < deadline)
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              if (fd < 0)
                  return;
              ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
              for (qsizetype done = 0; done < bytes.size();) {
                  const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
                  if (n <= 0)
                      break;
                  done += n;
              }
              ::close(fd);
          })
    {
    }
    ~FifoWriter()
    {
        m_thread.join();
        ::signal(SIGPIPE, m_ignorePipe);
    }

private:
    sighandler_t m_ignorePipe;  // a reader that stops early must not kill the test
    std::thread m_thread;
};
