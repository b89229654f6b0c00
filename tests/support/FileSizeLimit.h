#pragma once

#include <QtGlobal>

#include <sys/resource.h>

#include <csignal>

// For as long as it lives, no file of this process can grow beyond the given number of
// bytes (RLIMIT_FSIZE): a write past it fails with EFBIG, as a write to a full disk fails,
// and leaves the file at the limit. The signal SIGXFSZ, which would otherwise end the
// process at that moment, is ignored meanwhile.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_signalIgnored = ::sigaction(SIGXFSZ, &ignore, &m_previousAction) == 0;
        struct rlimit limit = {};
        if (!m_signalIgnored || ::getrlimit(RLIMIT_FSIZE, &m_previous) != 0)
            return;
        limit = m_previous;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_set)
            ::setrlimit(RLIMIT_FSIZE, &m_previous);
        if (m_signalIgnored)
            ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

    // False when the limit could not be set: then the test cannot show anything.
    bool isSet() const { return m_set; }

private:
    struct rlimit m_previous = {};
    struct sigaction m_previousAction = {};
    bool m_signalIgnored = false;
    bool m_set = false;
};
