#pragma once

#include <cstdint>

// While it lives, the calling thread checks file permissions as an ordinary
// user would, also when the tests run as root: it drops the capabilities that
// override them (reading, writing and searching any file, acting as any
// file's owner) from its effective set, and takes them back at the end.
// Threads started meanwhile inherit the reduced set, so a worker made under
// it fails on a read-only folder too. Without those capabilities it changes nothing.
class WithoutFilePrivileges {
public:
    WithoutFilePrivileges();
    ~WithoutFilePrivileges();
    WithoutFilePrivileges(const WithoutFilePrivileges&) = delete;
    WithoutFilePrivileges& operator=(const WithoutFilePrivileges&) = delete;

private:
    uint32_t m_effective[2] = {};
    bool m_changed = false;
};
