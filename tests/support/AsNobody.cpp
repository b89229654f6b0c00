#include "AsNobody.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr uid_t nobody = 65534;

} // namespace

AsNobody::AsNobody()
{
    if (::geteuid() != 0) {
        m_applies = true;
        return;
    }
    m_dropped = ::seteuid(nobody) == 0;
    m_applies = m_dropped;
}

AsNobody::~AsNobody()
{
    if (m_dropped && ::seteuid(0) != 0) {
        std::fputs("could not take the root user back\n", stderr);
        std::abort();
    }
}

bool AsNobody::searchableByEveryone(const char *folder)
{
    struct stat status = {};
    if (::stat(folder, &status) != 0)
        return false;
    return ::chmod(folder, (status.st_mode & 07777) | S_IXUSR | S_IXGRP | S_IXOTH) == 0;
}
