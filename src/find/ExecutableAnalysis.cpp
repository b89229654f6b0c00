#include "ExecutableAnalysis.h"

#include "ExecutableTest.h"
#include "NameScanner.h"

#include <QByteArray>
#include <QFile>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <cerrno>
#include <condition_variable>
#include <functional>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sched.h>
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

// Reads up to size bytes at the offset, fewer only at the end of the file; -1 on a read
// failure. The descriptor's own offset stays where it was.
qsizetype readFullyAt(int fd, qint64 offset, char *into, qsizetype size)
{
    qsizetype got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, into + got, static_cast<size_t>(size - got), offset + got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? -1 : got;
        got += n;
    }
    return got;
}

// The file at offsets, for the tables of a PE image.
class FileSource : public PeImage::Source
{
public:
    FileSource(int fd, qint64 size) : m_fd(fd), m_size(size) {}
    qint64 size() const override { return m_size; }
    qsizetype readAt(qint64 offset, char *into, qsizetype size) const override
    {
        return readFullyAt(m_fd, offset, into, size);
    }

private:
    const int m_fd;
    const qint64 m_size;
};

ExecutableAnalysis::ReadDelay readDelay;

// Waits until ready() holds, in short turns between which turn() is asked, without the
// lock, whether to go on: so a caller waiting for a slow disk stays alive and may stop.
// False when it says no.
template <class Ready, class Turn>
bool waitInTurns(std::unique_lock<std::mutex> &lock, std::condition_variable &changed, Ready &&ready, Turn &&turn)
{
    while (!changed.wait_for(lock, std::chrono::milliseconds(20), ready)) {
        lock.unlock();
        const bool goOn = turn();
        lock.lock();
        if (!goOn)
            return false;
    }
    return true;
}

// The tables of a PE image, read from the file on a thread of their own and waited for in
// short turns as the pieces are: after the scan their pages were read moments ago, beside
// it they may come from the disk, and on a slow disk either way may take long. Never
// waited for but in those turns: the thread keeps its own descriptor and its own share.
class TablesReader
{
public:
    TablesReader(int fd, qint64 size)
        : m_shared(std::make_shared<Shared>(::fcntl(fd, F_DUPFD_CLOEXEC, 0)))
    {
        if (m_shared->file.get() < 0) {
            m_shared->tables = PeImage::read(FileSource(fd, size));
            m_shared->ready = true;
            return;
        }
        std::thread([shared = m_shared, size, delay = readDelay] {
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
    }
    Q_DISABLE_COPY_MOVE(TablesReader)

    // The tables, once read; `stopped` is set, and nothing returned, when waiting() says
    // to stop first.
    template <class Waiting>
    std::optional<PeImage::Tables> take(Waiting &&waiting, bool &stopped)
    {
        Shared &shared = *m_shared;
        std::unique_lock<std::mutex> lock(shared.mutex);
        if (!waitInTurns(lock, shared.changed, [&] { return shared.ready; }, waiting)) {
            stopped = true;
            return std::nullopt;
        }
        return std::move(shared.tables);
    }

private:
    struct Shared
    {
        explicit Shared(int fd) : file(fd) {}
        const FileDescriptor file;
        std::mutex mutex;
        std::condition_variable changed;
        bool ready = false;
        std::optional<PeImage::Tables> tables;
    };
    std::shared_ptr<Shared> m_shared;
};

// Reads a file piece after piece on a thread of its own, at most `depth` pieces ahead of
// the one being scanned, from its start up to `size` bytes (to its end when 0). The
// pieces come in file order; the one handed out stays valid
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
        if (!waitInTurns(lock, shared.changed, [&] { return shared.filled > 0; }, waiting))
            return nullptr;
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

// The second half of a file, read and scanned on a thread of its own while the caller's
// thread does the first. Like the read-ahead it is never waited for in a read (a network
// share, a failing disk): stopping it waits at most for the piece it is scanning, as the
// scan holds the lock, so that the matcher, which the caller may change or drop once the
// analysis has returned, is never touched after that.
class SecondHalf
{
public:
    struct Outcome
    {
        QList<qsizetype> found;
        int error = 0; // errno of a failed read
    };

    SecondHalf(int fd, qint64 from, qint64 to, qsizetype pieceSize, const NameScanner &scanner)
        : m_shared(std::make_shared<Shared>(::fcntl(fd, F_DUPFD_CLOEXEC, 0), scanner))
    {
        if (m_shared->file.get() < 0) {
            m_shared->outcome.error = errno ? errno : EIO;
            m_shared->scan.reset();
            m_shared->done = true;
            return;
        }
        std::thread([shared = m_shared, from, to, pieceSize, delay = readDelay] { run(*shared, from, to, pieceSize, delay); })
            .detach();
    }
    ~SecondHalf()
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->stop = true;
    }
    Q_DISABLE_COPY_MOVE(SecondHalf)

    // The bytes of the half scanned so far.
    qint64 scanned() const { return m_shared->scanned.load(std::memory_order_relaxed); }

    // Waits in short turns for the half to be scanned; between them, turn() is asked
    // whether to go on. Nothing when it says no.
    template <class Turn>
    std::optional<Outcome> take(Turn &&turn)
    {
        Shared &shared = *m_shared;
        std::unique_lock<std::mutex> lock(shared.mutex);
        if (!waitInTurns(lock, shared.changed, [&] { return shared.done; }, turn))
            return std::nullopt;
        return std::move(shared.outcome);
    }

private:
    struct Shared
    {
        Shared(int fd, const NameScanner &scanner) : file(fd), scan(std::make_unique<NameScanner::Scan>(scanner)) {}
        const FileDescriptor file;
        std::unique_ptr<NameScanner::Scan> scan; // made here: the thread touches the matcher only under the lock
        std::atomic<qint64> scanned = 0;
        std::mutex mutex;
        std::condition_variable changed;
        bool stop = false;
        bool done = false;
        Outcome outcome;
    };

    static void run(Shared &shared, qint64 from, qint64 to, qsizetype pieceSize, const ExecutableAnalysis::ReadDelay &delay)
    {
        QByteArray piece(static_cast<qsizetype>(std::min<qint64>(pieceSize, to - from)), Qt::Uninitialized);
        for (qint64 at = from;;) {
            const qsizetype want = static_cast<qsizetype>(std::min<qint64>(piece.size(), to - at));
            if (delay)
                delay(at);
            const qsizetype got = want > 0 ? readFullyAt(shared.file.get(), at, piece.data(), want) : 0;
            const int error = got < 0 ? (errno ? errno : EIO) : 0;
            {
                const std::lock_guard<std::mutex> lock(shared.mutex);
                if (shared.stop) {
                    shared.scan->abandon();
                    shared.scan.reset();
                    return;
                }
                if (got > 0) {
                    shared.scan->feed(QByteArrayView(piece.constData(), got));
                    at += got;
                    shared.scanned.store(at - from, std::memory_order_relaxed);
                }
                const bool last = error != 0 || got < want || want == 0;
                if (!last)
                    continue;
                shared.outcome.error = error;
                if (error == 0)
                    shared.outcome.found = shared.scan->finish();
                shared.scan.reset();
                shared.done = true;
            }
            shared.changed.notify_all();
            return;
        }
    }

    std::shared_ptr<Shared> m_shared;
};

// The processor cores this process may run on.
int coresAtHand()
{
    static const int cores = [] {
        cpu_set_t set;
        CPU_ZERO(&set);
        if (::sched_getaffinity(0, sizeof set, &set) == 0)
            return CPU_COUNT(&set);
        return int(std::max(1u, std::thread::hardware_concurrency()));
    }();
    return cores;
}

// Whether a second core is there to take part of an analysis.
bool twoThreads(ExecutableAnalysis::Threads threads)
{
    return threads == ExecutableAnalysis::Threads::Two || (threads == ExecutableAnalysis::Threads::Automatic && coresAtHand() >= 2);
}

// Whether a file of this size is scanned in two halves, its tables read beside them.
bool splits(ExecutableAnalysis::Threads threads, qint64 size)
{
    return twoThreads(threads) && size >= (threads == ExecutableAnalysis::Threads::Two ? 2 : ExecutableAnalysis::splitFrom);
}

// Threads kept for the work of a file in memory: handing them a task costs a wake-up, not
// the start of a thread, which is more than a small file's whole analysis. Their tasks only
// compute, never read a file, so waiting for one is never waiting for a disk.
QThreadPool &helpers()
{
    static QThreadPool *const pool = [] {
        auto *p = new QThreadPool; // never destroyed: a helper may be asked for until the very end
        p->setMaxThreadCount(2);
        p->setExpiryTimeout(-1);
        return p;
    }();
    return *pool;
}

// A task offered to a helper thread while this thread goes on. take() gives its result:
// done by the helper, or, when the helper has not begun it yet (every core busy), done
// here and then; a helper that comes late finds it taken and leaves it alone. So a busy
// machine costs a wake-up, not a wait for a core. The task may refer to this thread's
// data: it runs either here, or on the helper while take() (or the end) waits for it.
template <class T>
class Offered
{
public:
    explicit Offered(std::function<T()> task) : m_shared(std::make_shared<Shared>(std::move(task)))
    {
        helpers().start([shared = m_shared] {
            if (shared->taken.exchange(true))
                return;
            T value = shared->task();
            const std::lock_guard<std::mutex> lock(shared->mutex);
            shared->value = std::move(value);
            shared->done = true;
            shared->changed.notify_all();
        });
    }
    ~Offered()
    {
        if (!m_taken)
            take();
    }
    Q_DISABLE_COPY_MOVE(Offered)

    T take()
    {
        m_taken = true;
        Shared &shared = *m_shared;
        if (!shared.taken.exchange(true))
            return shared.task();
        std::unique_lock<std::mutex> lock(shared.mutex);
        shared.changed.wait(lock, [&] { return shared.done; });
        return std::move(shared.value);
    }

private:
    struct Shared
    {
        explicit Shared(std::function<T()> t) : task(std::move(t)) {}
        const std::function<T()> task;
        std::atomic<bool> taken = false;
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
        T value{};
    };
    std::shared_ptr<Shared> m_shared;
    bool m_taken = false;
};

// A name found by either half of a file was found in it.
QList<qsizetype> merged(const QList<qsizetype> &first, const QList<qsizetype> &second)
{
    QList<qsizetype> both;
    both.reserve(first.size() + second.size());
    std::set_union(first.cbegin(), first.cend(), second.cbegin(), second.cend(), std::back_inserter(both));
    return both;
}

// The names a pass found. A blank name (empty, or nothing but NULs and spaces) stands in
// every file and names no function.
QList<qsizetype> withoutBlanks(QList<qsizetype> found, const NameScanner &scanner)
{
    const QStringList &names = scanner.names();
    found.removeIf([&names](qsizetype i) {
        const QString &name = names.at(i);
        return std::all_of(name.begin(), name.end(), [](QChar c) { return c.isNull() || c.isSpace(); });
    });
    return found;
}

// The analysis of a file read whole, as analyse() does it piece by piece.
Result analyseInMemory(const QByteArray &bytes, const NameScanner &scanner, const ExecutableAnalysis::Progress &progress,
                       ExecutableAnalysis::Threads threads)
{
    Result result;
    if (!ExecutableTest::isExecutable(QByteArrayView(bytes).first(std::min(bytes.size(), ExecutableTest::headerSize)))) {
        result.outcome = Outcome::NotExecutable;
        return result;
    }
    const QByteArrayView all(bytes);
    if (splits(threads, bytes.size())) {
        // The first half reads as far past the middle as a name can reach.
        const qsizetype middle = bytes.size() / 2;
        Offered<QList<qsizetype>> second([&] { return scanner.scan(all.sliced(middle)); });
        const QList<qsizetype> first = scanner.scan(all.first(std::min(bytes.size(), middle + scanner.overlap())));
        result.tables = PeImage::read(bytes);
        result.found = merged(first, second.take());
    } else {
        result.found = scanner.scan(all);
        result.tables = PeImage::read(bytes);
    }
    if (progress && !progress(bytes.size(), bytes.size())) {
        Result cancelled;
        cancelled.outcome = Outcome::Cancelled;
        return cancelled;
    }
    result.outcome = Outcome::Scanned;
    result.found = withoutBlanks(std::move(result.found), scanner);
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
               qsizetype pieceSize, const Waiting &waiting, Threads threads)
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
            return analyseInMemory(*whole, scanner, progress, threads);
    }

    // In halves, the first is read as far past the middle as a name can reach, and at
    // least as far as the quick look at the first bytes needs; a file of unknown size is
    // read to its end in one.
    const bool inHalves = size > 0 && splits(threads, size);
    const qint64 middle = size / 2;
    const qint64 firstEnd = inHalves ? std::min(size, std::max(middle + scanner.overlap(), qint64(ExecutableTest::headerSize))) : size;
    // Each half in pieces half as large: the progress moves as often as in one pass.
    if (inHalves)
        pieceSize = std::max(pieceSize / 2, ExecutableTest::headerSize);

    // The next pieces are read while this one is scanned: on a file that is not in the
    // page cache the disk and the processor then work at once.
    ReadAhead reader(file.get(), firstEnd, pieceSize);
    NameScanner::Scan scan(scanner);
    std::unique_ptr<SecondHalf> second;
    std::unique_ptr<TablesReader> tables;
    qint64 done = 0;
    bool first = true;
    const auto cancelled = [] {
        Result result;
        result.outcome = Outcome::Cancelled;
        return result;
    };
    // The bytes read so far, each once, told as the file's share read.
    const auto told = [&] { return second ? std::min(done, middle) + second->scanned() : done; };
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
            if (inHalves)
                second = std::make_unique<SecondHalf>(file.get(), middle, size, pieceSize, scanner);
            if (inHalves)
                tables = std::make_unique<TablesReader>(file.get(), size);
        }
        if (piece->got == 0)
            break;
        scan.feed(bytes);
        done += piece->got;
        const bool last = piece->last;
        reader.release();
        if (progress && !progress(told(), std::max(size, done)))
            return cancelled();
        if (last)
            break;
    }
    Result result;
    result.outcome = Outcome::Scanned;
    result.found = scan.finish();
    if (second) {
        qint64 toldLast = told();
        const auto turn = [&] {
            if (progress && told() != toldLast && !progress(toldLast = told(), size))
                return false;
            return !waiting || waiting();
        };
        const std::optional<SecondHalf::Outcome> other = second->take(turn);
        if (!other)
            return cancelled();
        if (other->error != 0)
            return failure(other->error == EIO ? deviceIoError : pathFileAccessError);
        result.found = merged(result.found, other->found);
        if (progress && told() != toldLast && !progress(told(), size))
            return cancelled();
    }
    result.found = withoutBlanks(std::move(result.found), scanner);
    // Only the bytes scanned count: a file that grew meanwhile is read as it was.
    if (!tables)
        tables = std::make_unique<TablesReader>(file.get(), second ? told() : done);
    bool stopped = false;
    result.tables = tables->take([&] { return !waiting || waiting(); }, stopped);
    if (stopped)
        return cancelled();
    return result;
}

} // namespace ExecutableAnalysis
