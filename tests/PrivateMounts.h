#pragma once

#include <QString>

// Mounts for tests (a small disk, a read-only folder, a stick under a device name), made in
// a mount namespace of the test process's own so that nothing is visible outside it and
// nothing outlives the process.
class PrivateMounts
{
public:
    // Enters the private namespace; call first thing in main(), before any thread exists.
    // False when the system allows neither a mount nor a user namespace.
    static bool enterNamespace();

    // A tmpfs at dir; source is what the mount table lists as its device, options e.g.
    // "size=64k".
    static bool mountTmpfs(const QString &dir, const QString &source, const char *options);
    // dir becomes read-only (a read-only bind mount onto itself).
    static bool makeReadOnly(const QString &dir);
    static void unmount(const QString &dir);
};
