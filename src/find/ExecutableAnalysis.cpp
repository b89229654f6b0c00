#include "ExecutableAnalysis.h"

#include "ExecutableTest.h"
#include "NameScanner.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
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

// The file at offsets, for the tables of a PE image: read after the scan, when the
// kernel still holds the pages just read.
class FileSource : public PeImage::Source
{
public:
    FileSource(int fd, qint64 size) : m_fd(fd), m_size(size) {}
    qint64 size() const override { return m_size; }
    qsizetype readAt(qint64 offset, char *into, qsizetype size) const override
    {
        qsizetype got = 0;
        while (got < size) {
            const ssize_t n = ::pread(m_fd, into + got, static_cast<size_t>(size - got), offset + got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n < 0 ? -1 : got;
            got += n;
        }
        return got;
    }

private:
    const int m_fd;
    const qint64 m_size;
};

ExecutableAnalysis::ReadDelay readDelay;

// The tables of a PE image, read on a thread of their own and waited for in short turns
// as the pieces are: their pages were read moments ago, but on a slow disk they may have
// to come from it again. `stopped` is set when waiting() says to stop.
template <class Waiting>
std::optional<PeImage::Tables> tablesOf(int fd, qint64 size, Waiting &&waiting, bool &stopped)
{
    struct Shared
    {
        explicit Shared(int fd) : file(fd) {}
        const FileDescriptor file;
        std::mutex mutex;
        std::condition_variable changed;
        bool ready = false;
        std::optional<PeImage::Tables> tables;
    };
    const auto shared = std::make_shared<Shared>(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    if (shared->file.get() < 0)
        return PeImage::read(FileSource(fd, size));
    std::thread([shared, size, delay = readDelay] {
        if (delay)
            delay(-1);
        std::optional<PeImage::Tables> tables = PeImage::read(FileSource(shared->file.get(), size));
        {
            const std::lock_guard<std::mutex> lock(shared->mutex);
            shared->tables = std::move(tables);
            shared->ready = true;
        }
        shared->changed.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(shared->mutex);
    while (!shared->changed.wait_for(lock, std::chrono::milliseconds(20), [&] { return shared->ready; })) {
        lock.unlock();
        const bool goOn = waiting();
        lock.lock();
        if (!goOn) {
            stopped = true;
            return std::nullopt;
        }
    }
    return std::move(shared->tables);
}

// Reads a file piece after piece on a thread of its own, at most `depth` pieces ahead of
// the one being scanned. The pieces come in file order; the one handed out stays valid
// until release(). The thread keeps its own descriptor of the file and its own share of
// the pieces: destroying the reader tells it to stop and never waits for it, so a read
// that hangs (a network share, a failing disk) holds up nobody.
class ReadAhead
{
public:
    struct Piece
    {
        QByteArray bytes;
        qsizetype got = 0;
        int error = 0;     // errno of a failed read; the last piece then
        bool last = false; // nothing follows (the end, or a short read)
    };

    ReadAhead(int fd, qint64 size, qsizetype pieceSize)
        : m_shared(std::make_shared<Shared>(::fcntl(fd, F_DUPFD_CLOEXEC, 0), size))
    {
        for (Piece &piece : m_shared->pieces)
            piece.bytes = QByteArray(pieceSize, Qt::Uninitialized);
        std::thread([shared = m_shared, delay = readDelay] { run(*shared, delay); }).detach();
    }
    ~ReadAhead()
    {
        {
            const std::lock_guard<std::mutex> lock(m_shared->mutex);
            m_shared->stop = true;
        }
        m_shared->changed.notify_all();
    }
    Q_DISABLE_COPY_MOVE(ReadAhead)

    // The next piece in file order. While it is not read yet, waiting() is called every
    // few milliseconds; when it returns false, nothing is returned.
    template <class Waiting>
    const Piece *next(Waiting &&waiting)
    {
        Shared &shared = *m_shared;
        std::unique_lock<std::mutex> lock(shared.mutex);
        while (!shared.changed.wait_for(lock, std::chrono::milliseconds(20), [&] { return shared.filled > 0; })) {
            lock.unlock();
            const bool goOn = waiting();
            lock.lock();
            if (!goOn)
                return nullptr;
        }
        return &shared.pieces[shared.head];
    }
    // Gives the piece from next() back to be read into again.
    void release()
    {
        {
            const std::lock_guard<std::mutex> lock(m_shared->mutex);
            m_shared->head = (m_shared->head + 1) % depth;
            --m_shared->filled;
        }
        m_shared->changed.notify_all();
    }

private:
    static constexpr size_t depth = 3;

    struct Shared
    {
        Shared(int fd, qint64 size) : file(fd), size(size), pieces(depth) {}
        const FileDescriptor file;
        const qint64 size;
        std::vector<Piece> pieces;
        std::mutex mutex;
        std::condition_variable changed;
        size_t head = 0;
        size_t filled = 0;
        bool stop = false;
    };

    static void run(Shared &shared, const ExecutableAnalysis::ReadDelay &delay)
    {
        qint64 done = 0;
        size_t tail = 0;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(shared.mutex);
                shared.changed.wait(lock, [&] { return shared.stop || shared.filled < depth; });
                if (shared.stop)
                    return;
            }
            // The free slot is this thread's alone until it is counted as filled.
            Piece &piece = shared.pieces[tail];
            qsizetype want = piece.bytes.size();
            if (shared.size > 0)
                want = static_cast<qsizetype>(std::min<qint64>(want, shared.size - done));
            if (delay)
                delay(done);
            piece.got = want > 0 ? readFully(shared.file.get(), piece.bytes.data(), want) : 0;
            piece.error = piece.got < 0 ? (errno ? errno : EIO) : 0;
            if (piece.got < 0)
                piece.got = 0;
            piece.last = piece.error != 0 || piece.got < want || want == 0;
            done += piece.got;
            tail = (tail + 1) % depth;
            {
                const std::lock_guard<std::mutex> lock(shared.mutex);
                ++shared.filled;
            }
            shared.changed.notify_all();
            if (piece.last)
                return;
        }
    }

    std::shared_ptr<Shared> m_shared;
};

// The whole of a file that fits in one piece, when the kernel holds all of it already:
// read at once on this thread, which never waits for a disk then (RWF_NOWAIT). Nothing
// when a byte is not at hand or the file system cannot say; then the read-ahead reads it.
std::optional<QByteArray> readIfCached(int fd, qint64 size)
{
#ifdef RWF_NOWAIT
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    iovec part{bytes.data(), static_cast<size_t>(size)};
    ssize_t got;
    do
        got = ::preadv2(fd, &part, 1, 0, RWF_NOWAIT);
    while (got < 0 && errno == EINTR);
    if (got == size)
        return bytes;
#else
    Q_UNUSED(fd);
    Q_UNUSED(size);
#endif
    return std::nullopt;
}

// The names the pass found. A blank name (empty, or nothing but NULs and spaces) stands in
// every file and names no function.
QList<qsizetype> foundNames(NameScanner::Scan &scan, const NameScanner &scanner)
{
    QList<qsizetype> found = scan.finish();
    const QStringList &names = scanner.names();
    found.removeIf([&names](qsizetype i) {
        const QString &name = names.at(i);
        return std::all_of(name.begin(), name.end(), [](QChar c) { return c.isNull() || c.isSpace(); });
    });
    return found;
}

// The analysis of a file read whole, as analyse() does it piece by piece.
Result analyseInMemory(const QByteArray &bytes, const NameScanner &scanner, const ExecutableAnalysis::Progress &progress)
{
    Result result;
    if (!ExecutableTest::isExecutable(QByteArrayView(bytes).first(std::min(bytes.size(), ExecutableTest::headerSize)))) {
        result.outcome = Outcome::NotExecutable;
        return result;
    }
    NameScanner::Scan scan(scanner);
    scan.feed(bytes);
    if (progress && !progress(bytes.size(), bytes.size())) {
        result.outcome = Outcome::Cancelled;
        return result;
    }
    result.outcome = Outcome::Scanned;
    result.found = foundNames(scan, scanner);
    result.tables = PeImage::read(QByteArrayView(bytes));
    return result;
}

} // namespace

namespace ExecutableAnalysis {

void setReadDelay(ReadDelay delay)
{
    readDelay = std::move(delay);
}

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
               qsizetype pieceSize, const Waiting &waiting)
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
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    // A file of stated size 0 may still hold bytes (the kernel's own files): read to its
    // end. Otherwise read what the file held when opened, even while it grows.
    const qint64 size = status.st_size;
    pieceSize = std::max(pieceSize, ExecutableTest::headerSize);
    // A small file needs no pieces larger than itself (one byte more finds its end).
    if (size > 0)
        pieceSize = static_cast<qsizetype>(std::min<qint64>(pieceSize, std::max<qint64>(size + 1, ExecutableTest::headerSize)));

    // A read delay stands for a slow disk, whose files are not at hand.
    if (size > 0 && size < pieceSize && !readDelay) {
        if (const std::optional<QByteArray> whole = readIfCached(file.get(), size))
            return analyseInMemory(*whole, scanner, progress);
    }

    // The next pieces are read while this one is scanned: on a file that is not in the
    // page cache the disk and the processor then work at once.
    ReadAhead reader(file.get(), size, pieceSize);
    NameScanner::Scan scan(scanner);
    qint64 done = 0;
    bool first = true;
    const auto cancelled = [] {
        Result result;
        result.outcome = Outcome::Cancelled;
        return result;
    };
    // A piece that is slow to come (a network share, a failing disk) is waited for in
    // short turns, so the caller stays alive and may stop.
    for (;;) {
        const ReadAhead::Piece *piece = reader.next([&] { return !waiting || waiting(); });
        if (!piece)
            return cancelled();
        if (piece->error != 0)
            return failure(piece->error == EIO ? deviceIoError : pathFileAccessError);
        const QByteArrayView bytes(piece->bytes.constData(), piece->got);
        if (first) {
            first = false;
            if (!ExecutableTest::isExecutable(bytes.first(std::min(piece->got, ExecutableTest::headerSize)))) {
                Result result;
                result.outcome = Outcome::NotExecutable;
                return result;
            }
        }
        if (piece->got == 0)
            break;
        scan.feed(bytes);
        done += piece->got;
        const bool last = piece->last;
        reader.release();
        if (progress && !progress(done, std::max(size, done)))
            return cancelled();
        if (last)
            break;
    }
    Result result;
    result.outcome = Outcome::Scanned;
    result.found = foundNames(scan, scanner);
    // Only the bytes scanned count: a file that grew meanwhile is read as it was.
    bool stopped = false;
    result.tables = tablesOf(file.get(), done, [&] { return !waiting || waiting(); }, stopped);
    if (stopped)
        return cancelled();
    return result;
}

} // namespace ExecutableAnalysis
