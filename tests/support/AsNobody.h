#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

// For as long as it lives, a test run as root acts as the user "nobody" (the effective
// user only), so that file permissions apply to it as they do to any user; a test run by
// another user stays that user, to whom they apply anyway. The folders on the way to a
// file the test opens must then be searchable by everyone (QTemporaryDir makes its folder
// private: open it with searchableByEveryone).
class AsNobody
{
public:
    AsNobody()
        : m_dropped(::geteuid() == 0 && ::seteuid(65534) == 0)
        , m_applies(::geteuid() != 0)
    {
    }
    ~AsNobody()
    {
        if (m_dropped && ::seteuid(0) != 0) {
            std::fputs("could not take the root user back\n", stderr);
            std::abort();
        }
    }
    AsNobody(const AsNobody &) = delete;
    AsNobody &operator=(const AsNobody &) = delete;

    // False when the test is root and could not become nobody: permissions do not apply.
    bool permissionsApply() const { return m_applies; }

    // Lets every user search the folder (list nothing, reach what is inside by name).
    static bool searchableByEveryone(const char *folder)
    {
        struct stat status = {};
        return ::stat(folder, &status) == 0 && ::chmod(folder, (status.st_mode & 07777) | S_IXUSR | S_IXGRP | S_IXOTH) == 0;
    }

private:
    bool m_dropped = false;
    bool m_applies = false;
};
