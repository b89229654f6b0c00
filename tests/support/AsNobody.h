#pragma once

// For as long as it lives, a test run as root acts as the user "nobody" (the effective
// user only), so that file permissions apply to it as they do to any user; a test run by
// another user stays that user, to whom they apply anyway. The folders on the way to a
// file the test opens must then be searchable by everyone (QTemporaryDir makes its folder
// private: open it with searchableByEveryone).
class AsNobody
{
public:
    AsNobody();
    ~AsNobody();

    AsNobody(const AsNobody &) = delete;
    AsNobody &operator=(const AsNobody &) = delete;

    // False when the test is root and could not become nobody: permissions do not apply.
    bool permissionsApply() const { return m_applies; }

    // Lets every user search the folder (list nothing, reach what is inside by name).
    static bool searchableByEveryone(const char *folder);

private:
    bool m_dropped = false;
    bool m_applies = false;
};
