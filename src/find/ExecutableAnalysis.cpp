#include "ExecutableAnalysis.h"

#include "ExecutableTest.h"
#include "NameScanner.h"

#include <QByteArray>
#include <QFile>
#include <QThreadPool>

#include <algorithm>
#include <array>
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

Result cancelled()
{
    Result result;
    result.outcome = Outcome::Cancelled;
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

// Reads up to size bytes at the offset as far as the kernel holds them at hand, never
// waiting for a disk (RWF_NOWAIT): fewer at the end of the file, and fewer, with `missed`
// set, where a byte is not at hand, the file system cannot say, or the read fails.
qsizetype readAtHand(int fd, qint64 offset, char *into, qsizetype size, bool &missed)
{
    qsizetype got = 0;
#ifdef RWF_NOWAIT
    while (got < size) {
        iovec part{into + got, static_cast<size_t>(size - got)};
        const ssize_t n = ::preadv2(fd, &part, 1, offset + got, RWF_NOWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        if (n == 0)
            return got;
        got += n;
    }
#else
    Q_UNUSED(fd);
    Q_UNUSED(offset);
    Q_UNUSED(into);
#endif
    missed = got < size;
    return got;
}

// The file at offsets, for the tables of a PE image. With `atHandOnly`, only as far as
// the kernel holds it: whether a read missed tells that the tables read from it are to be
// read again, from the disk.
class FileSource : public PeImage::Source
{
public:
    FileSource(int fd, qint64 size, bool atHandOnly = false) : m_fd(fd), m_size(size), m_atHandOnly(atHandOnly) {}
    qint64 size() const override { return m_size; }
    qsizetype readAt(qint64 offset, char *into, qsizetype size) const override
    {
        if (!m_atHandOnly)
            return readFullyAt(m_fd, offset, into, size);
        const qsizetype got = readAtHand(m_fd, offset, into, size, m_missed);
        return m_missed ? -1 : got;
    }
    bool missed() const { return m_missed; }

private:
    const int m_fd;
    const qint64 m_size;
    const bool m_atHandOnly;
    mutable bool m_missed = false;
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

// The tables of a PE image, read after the scan. Where the kernel holds every byte they
// need (their pages were read moments ago) they are read at once on this thread; else
// on a thread of their own and waited for in short turns as the pieces are, for on a slow
// disk they may take long. Never waited for but in those turns: the thread keeps its own
// descriptor and its own share.
class TablesReader
{
public:
    TablesReader(int fd, qint64 size)
    {
        // A read delay stands for a slow disk, whose files are not at hand.
        if (!readDelay) {
            const FileSource atHand(fd, size, true);
            std::optional<PeImage::Tables> tables = PeImage::read(atHand);
            if (!atHand.missed()) {
                m_shared = std::make_shared<Shared>(-1);
                m_shared->tables = std::move(tables);
                m_shared->ready = true;
                return;
            }
        }
        m_shared = std::make_shared<Shared>(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
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

// The pieces of a file of known size, shared out between two threads that scan them at
// once: each claims the next piece as it comes free, so that where one meets the file's
// text, which costs many times what its code does, the other goes on with the pieces after
// (halves of the bytes are seldom halves of the work). Each piece is read with the bytes a
// name can reach past it, into the claiming thread's own buffer, where it then lies in
// that core's cache: at once where the kernel holds the bytes (RWF_NOWAIT), otherwise by a
// thread of reads started for that, waited for in short turns, so that neither scanning
// thread ever waits in a read that may hang (a network share, a failing disk). That thread
// keeps its own descriptor and its own share: ending the analysis never waits for it.
class SharedPieces
{
public:
    enum class Taker { Caller, Helper };
    struct Piece
    {
        const char *bytes = nullptr;
        qsizetype got = 0;       // bytes read
        qsizetype positions = 0; // where names may begin: the piece's own bytes
        int error = 0;           // errno of a failed read
    };

    SharedPieces(int fd, qint64 size, qsizetype pieceSize, qsizetype overlap)
        : m_shared(std::make_shared<Shared>(::fcntl(fd, F_DUPFD_CLOEXEC, 0), size, pieceSize))
    {
        for (QByteArray &buffer : m_shared->buffers)
            buffer = QByteArray(static_cast<qsizetype>(std::min<qint64>(pieceSize + overlap, size)), Qt::Uninitialized);
    }
    ~SharedPieces() { stop(); }
    Q_DISABLE_COPY_MOVE(SharedPieces)

    // The next piece not claimed yet, read into the taker's buffer (valid until its next
    // call). Nothing when no piece is left, when stopped, or when waiting(), asked every
    // few milliseconds while a read is slow to come, says no.
    template <class Waiting>
    std::optional<Piece> next(Taker taker, Waiting &&waiting)
    {
        Shared &shared = *m_shared;
        const qint64 index = shared.nextPiece.fetch_add(1, std::memory_order_relaxed);
        const qint64 offset = index * shared.pieceSize;
        if (shared.ended.load(std::memory_order_relaxed) || (offset >= shared.size && index > 0))
            return std::nullopt;
        const auto slot = static_cast<size_t>(taker);
        char *into = shared.buffers[slot].data();
        const auto want = static_cast<qsizetype>(std::min<qint64>(shared.buffers[slot].size(), shared.size - offset));
        Piece piece;
        piece.bytes = into;
        bool missed = true;
        if (!readDelay && shared.file.get() >= 0)
            piece.got = readAtHand(shared.file.get(), offset, into, want, missed);
        if (missed) {
            std::unique_lock<std::mutex> lock(shared.mutex);
            Request &request = shared.requests[slot];
            request = Request{offset + piece.got, want - piece.got, into + piece.got};
            if (!shared.readerStarted) {
                shared.readerStarted = true;
                std::thread([shared = m_shared, delay = readDelay] { run(*shared, delay); }).detach();
            }
            shared.changed.notify_all();
            if (!waitInTurns(lock, shared.changed, [&] { return shared.stop || request.done; }, waiting) || shared.stop)
                return std::nullopt;
            piece.got += request.got;
            piece.error = request.error;
        }
        // A short piece (the end, or a file cut shorter meanwhile) is the last.
        const bool last = piece.error != 0 || piece.got < want || offset + shared.pieceSize >= shared.size;
        if (last)
            shared.ended.store(true, std::memory_order_relaxed);
        piece.positions = last ? piece.got : shared.pieceSize;
        return piece;
    }
    // Wakes a thread waiting in next(), which then gets nothing, and ends the reading.
    void stop()
    {
        {
            const std::lock_guard<std::mutex> lock(m_shared->mutex);
            m_shared->stop = true;
        }
        m_shared->ended.store(true, std::memory_order_relaxed);
        m_shared->changed.notify_all();
    }

private:
    // Bytes at an offset for one of the scanning threads, read by the thread of reads.
    struct Request
    {
        qint64 offset = 0;
        qsizetype want = 0;
        char *into = nullptr;
        bool pending = true;
        bool done = false;
        qsizetype got = 0;
        int error = 0;
    };

    struct Shared
    {
        Shared(int fd, qint64 size, qsizetype pieceSize) : file(fd), size(size), pieceSize(pieceSize) {}
        const FileDescriptor file;
        const qint64 size;
        const qsizetype pieceSize;
        std::atomic<qint64> nextPiece = 0;
        std::atomic<bool> ended = false; // no piece is claimed any more
        std::array<QByteArray, 2> buffers; // the caller's and the helper's
        std::mutex mutex;
        std::condition_variable changed;
        std::array<Request, 2> requests{Request{0, 0, nullptr, false, true}, Request{0, 0, nullptr, false, true}};
        bool readerStarted = false;
        bool stop = false;
    };

    static void run(Shared &shared, const ExecutableAnalysis::ReadDelay &delay)
    {
        for (;;) {
            Request request;
            size_t slot = 0;
            {
                std::unique_lock<std::mutex> lock(shared.mutex);
                const auto pending = [&] {
                    return std::find_if(shared.requests.begin(), shared.requests.end(), [](const Request &r) { return r.pending; });
                };
                shared.changed.wait(lock, [&] { return shared.stop || pending() != shared.requests.end(); });
                if (shared.stop)
                    return;
                slot = static_cast<size_t>(pending() - shared.requests.begin());
                shared.requests[slot].pending = false;
                request = shared.requests[slot];
            }
            // The buffer is the shared state's: it outlives a scanning thread that gave up.
            if (delay)
                delay(request.offset);
            const qsizetype got = shared.file.get() < 0 ? -1 : readFullyAt(shared.file.get(), request.offset, request.into, request.want);
            const int error = got < 0 ? (shared.file.get() < 0 || errno == 0 ? EIO : errno) : 0;
            {
                const std::lock_guard<std::mutex> lock(shared.mutex);
                Request &answered = shared.requests[slot];
                answered.got = std::max<qsizetype>(got, 0);
                answered.error = error;
                answered.done = true;
            }
            shared.changed.notify_all();
        }
    }

    std::shared_ptr<Shared> m_shared;
};

// The whole of a file that fits in one piece, when the kernel holds all of it already:
// read at once on this thread, which never waits for a disk then (RWF_NOWAIT). Nothing
// when a byte is not at hand or the file system cannot say; then the read-ahead reads it.
std::optional<QByteArray> readIfCached(int fd, qint64 size)
{
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    bool missed = false;
    if (readAtHand(fd, 0, bytes.data(), bytes.size(), missed) == size && !missed)
        return bytes;
    return std::nullopt;
}

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

// Whether a file of this size is scanned by two threads at once.
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
// data: it runs either here, or on the helper while take() or the end waits for it; a
// task nobody took before the end is never run.
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
        Shared &shared = *m_shared;
        if (!shared.taken.exchange(true) || m_ranHere)
            return;
        std::unique_lock<std::mutex> lock(shared.mutex);
        shared.changed.wait(lock, [&] { return shared.done; });
    }
    Q_DISABLE_COPY_MOVE(Offered)

    T take()
    {
        return *take([] { return true; });
    }
    // The same, waiting for the helper in short turns; between them turn() is asked
    // whether to go on. Nothing when it says no: the task should then be told to stop,
    // as the end waits for it.
    template <class Turn>
    std::optional<T> take(Turn &&turn)
    {
        Shared &shared = *m_shared;
        if (!shared.taken.exchange(true)) {
            m_ranHere = true;
            return shared.task();
        }
        std::unique_lock<std::mutex> lock(shared.mutex);
        if (!waitInTurns(lock, shared.changed, [&] { return shared.done; }, turn))
            return std::nullopt;
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
    bool m_ranHere = false;
};

// A name found by either thread was found in the file.
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

// The pieces a file in memory is shared out in between two threads: enough of them that
// neither waits long for the other at the end, few enough that taking one costs nothing.
constexpr qsizetype inMemoryPiece = 64 * 1024;

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
        // Both threads take the next piece as they come free (halves of the bytes are
        // seldom halves of the work), each piece with the bytes a name can reach past it.
        const qsizetype piece = inMemoryPiece;
        std::atomic<qsizetype> next = 0;
        const auto scanPieces = [&] {
            NameScanner::Scan scan(scanner);
            for (qsizetype at; (at = next.fetch_add(piece)) < all.size();)
                scan.feedPiece(all.sliced(at, std::min(all.size() - at, piece + scanner.overlap())), piece);
            return scan.finish();
        };
        Offered<QList<qsizetype>> helper(scanPieces);
        const QList<qsizetype> mine = scanPieces();
        result.tables = PeImage::read(bytes);
        result.found = merged(mine, helper.take());
    } else {
        result.found = scanner.scan(all);
        result.tables = PeImage::read(bytes);
    }
    if (progress && !progress(bytes.size(), bytes.size()))
        return cancelled();
    result.outcome = Outcome::Scanned;
    result.found = withoutBlanks(std::move(result.found), scanner);
    return result;
}

// The analysis of a file of known size on two threads at once, this one and a helper,
// which share its pieces (SharedPieces); its PE tables are read after them.
Result analyseShared(int fd, qint64 size, const NameScanner &scanner, const ExecutableAnalysis::Progress &progress,
                     qsizetype pieceSize, const ExecutableAnalysis::Waiting &waiting)
{
    using ExecutableAnalysis::deviceIoError;
    using ExecutableAnalysis::pathFileAccessError;
    using Taker = SharedPieces::Taker;
    // Pieces an eighth of those of one pass: the progress is told after each piece this
    // thread scans, and where it is slow to come back from telling it (the window answers
    // the user meanwhile) the helper takes most of them.
    SharedPieces pieces(fd, size, std::max(pieceSize / 8, ExecutableTest::headerSize), scanner.overlap());
    std::atomic<qint64> scanned = 0;
    // The share scanned, told when it has grown since it was last told.
    qint64 told = 0;
    bool stopped = false;
    const auto tell = [&] {
        const qint64 now = scanned.load(std::memory_order_relaxed);
        stopped = progress && now != told && !progress(told = now, size);
        return !stopped;
    };
    const auto goOn = [&] {
        stopped = stopped || !tell() || (waiting && !waiting());
        return !stopped;
    };
    const auto scanOn = [&scanned](NameScanner::Scan &pass, const SharedPieces::Piece &piece) {
        pass.feedPiece(QByteArrayView(piece.bytes, piece.got), piece.positions);
        scanned.fetch_add(piece.positions, std::memory_order_relaxed);
    };
    NameScanner::Scan scan(scanner);
    // The first piece comes to this thread, before the helper starts: whether the file is
    // an executable at all.
    const std::optional<SharedPieces::Piece> first = pieces.next(Taker::Caller, goOn);
    if (!first)
        return cancelled();
    if (first->error != 0)
        return failure(first->error == EIO ? deviceIoError : pathFileAccessError);
    if (!ExecutableTest::isExecutable(QByteArrayView(first->bytes, std::min(first->got, ExecutableTest::headerSize)))) {
        Result result;
        result.outcome = Outcome::NotExecutable;
        return result;
    }
    scanOn(scan, *first);
    if (!tell())
        return cancelled();
    struct Theirs
    {
        QList<qsizetype> found;
        int error = 0; // errno of a failed read
    };
    Offered<Theirs> helper([&] {
        Theirs theirs;
        NameScanner::Scan pass(scanner);
        while (const std::optional<SharedPieces::Piece> piece = pieces.next(Taker::Helper, [] { return true; })) {
            if (piece->error != 0) {
                theirs.error = piece->error;
                break;
            }
            scanOn(pass, *piece);
        }
        theirs.found = pass.finish();
        return theirs;
    });
    int error = 0;
    while (const std::optional<SharedPieces::Piece> piece = pieces.next(Taker::Caller, goOn)) {
        if (piece->error != 0) {
            error = piece->error;
            break;
        }
        scanOn(scan, *piece);
        if (!tell())
            break;
    }
    const std::optional<Theirs> theirs = stopped ? std::nullopt : helper.take(goOn);
    if (stopped || !theirs) {
        pieces.stop();
        return cancelled();
    }
    error = error != 0 ? error : theirs->error;
    if (error != 0)
        return failure(error == EIO ? deviceIoError : pathFileAccessError);
    if (!tell())
        return cancelled();
    Result result;
    result.outcome = Outcome::Scanned;
    result.found = withoutBlanks(merged(scan.finish(), theirs->found), scanner);
    TablesReader tables(fd, scanned.load());
    result.tables = tables.take([&] { return !waiting || waiting(); }, stopped);
    if (stopped)
        return cancelled();
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

    if (size > 0 && splits(threads, size))
        return analyseShared(file.get(), size, scanner, progress, pieceSize, waiting);

    // The next pieces are read while this one is scanned: on a file that is not in the
    // page cache the disk and the processor then work at once.
    ReadAhead reader(file.get(), size, pieceSize);
    NameScanner::Scan scan(scanner);
    qint64 done = 0;
    bool first = true;
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
    result.found = withoutBlanks(scan.finish(), scanner);
    // Only the bytes scanned count: a file that grew meanwhile is read as it was.
    TablesReader tables(file.get(), done);
    bool stopped = false;
    result.tables = tables.take([&] { return !waiting || waiting(); }, stopped);
    if (stopped)
        return cancelled();
    return result;
}

} // namespace ExecutableAnalysis
