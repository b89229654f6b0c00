#include "FileSizeLimit.h"

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (::sigaction(SIGXFSZ, &ignore, &m_previousAction) != 0)
        return;
    m_signalIgnored = true;
    if (::getrlimit(RLIMIT_FSIZE, &m_previous) != 0)
        return;
    struct rlimit limit = m_previous;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    m_set = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    if (m_set)
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
    if (m_signalIgnored)
        ::sigaction(SIGXFSZ, &m_previousAction, nullptr);
}
