#include "ExecutableAnalysis.h"

#include "ExecutableTest.h"
#include "NameScanner.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using ExecutableAnalysis::Outcome;
using ExecutableAnalysis::Result;

Result failure(qint64 number)
{
    Result result;
    result.outcome = Outcome::Failed;
    result.errorNumber = number;
    result.errorDescription = ExecutableAnalysis::errorDescription(number);
    return result;
}

qint64 openErrorNumber(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ExecutableAnalysis::fileNotFound;
    case EACCES:
    case EPERM:
        return ExecutableAnalysis::permissionDenied;
    default:
        return ExecutableAnalysis::pathFileAccessError;
    }
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(FileDescriptor)
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Reads up to size bytes, fewer only at the end of the file; -1 on a read failure.
qsizetype readFully(int fd, char *into, qsizetype size)
{
    qsizetype got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, into + got, static_cast<size_t>(size - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

} // namespace

namespace ExecutableAnalysis {

QString errorDescription(qint64 number)
{
    switch (number) {
    case fileNotFound: return QStringLiteral("File not found");
    case deviceIoError: return QStringLiteral("Device I/O error");
    case permissionDenied: return QStringLiteral("Permission denied");
    default: return QStringLiteral("Path/File access error");
    }
}

Result analyse(const QString &path, const NameScanner &scanner, const Progress &progress,
               qsizetype pieceSize)
{
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty())
        return failure(fileNotFound);
    // Without O_NONBLOCK opening a pipe would wait for a writer that never comes; the
    // file's kind is checked on the open descriptor, so a path swapped meanwhile is
    // caught as well.
    FileDescriptor file(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        return failure(openErrorNumber(errno));
    struct stat status = {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return failure(pathFileAccessError);
    // A file of stated size 0 may still hold bytes (the kernel's own files): read to its
    // end. Otherwise read what the file held when opened, even while it grows.
    const qint64 size = status.st_size;
    pieceSize = std::max(pieceSize, ExecutableTest::headerSize);

    QByteArray piece(pieceSize, Qt::Uninitialized);
    NameScanner::Scan scan(scanner);
    qint64 done = 0;
    bool first = true;
    for (;;) {
        qsizetype want = pieceSize;
        if (size > 0)
            want = static_cast<qsizetype>(std::min<qint64>(want, size - done));
        const qsizetype got = want > 0 ? readFully(file.get(), piece.data(), want) : 0;
        if (got < 0)
            return failure(errno == EIO ? deviceIoError : pathFileAccessError);
        const QByteArrayView bytes(piece.constData(), got);
        if (first) {
            first = false;
            if (!ExecutableTest::isExecutable(bytes.first(std::min(got, ExecutableTest::headerSize)))) {
                Result result;
                result.outcome = Outcome::NotExecutable;
                return result;
            }
        }
        if (got == 0)
            break;
        scan.feed(bytes);
        done += got;
        if (progress && !progress(done, std::max(size, done))) {
            Result result;
            result.outcome = Outcome::Cancelled;
            return result;
        }
        if (got < want)
            break;
    }
    Result result;
    result.outcome = Outcome::Scanned;
    result.found = scan.finish();
    return result;
}

} // namespace ExecutableAnalysis
