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
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();

    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    // False when the limit could not be set: then the test cannot show anything.
    bool isSet() const { return m_set; }

private:
    struct rlimit m_previous = {};
    struct sigaction m_previousAction = {};
    bool m_signalIgnored = false;
    bool m_set = false;
};
