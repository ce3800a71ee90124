#pragma once

#include <QString>

// Empties and removes one directory tree. Entries the default listing does not show
// (hidden files) stay, and so does the directory that holds them. Failures are ignored.
void clearDirectory(const QString &path);
