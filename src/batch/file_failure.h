#pragma once
#include <QString>

// A file a batch operation could not read or write, and why.
struct FileFailure {
    QString path;
    QString reason;
};
