#pragma once
#include <QString>

// True when both paths name one existing file, however they are written
// (links, "." and ".." resolved).
bool IsSameFile(const QString &a, const QString &b);
