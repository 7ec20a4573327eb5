#pragma once
// Small helpers shared by the benchmark programs.

#include <QString>
#include <functional>

// Copies every file below `from` to the same place below `to` (folders
// made, existing files replaced); false when a copy fails.
bool copyTree(const QString &from, const QString &to);

// The smallest of `runs` results of run() (milliseconds, say).
double bestOf(int runs, const std::function<double()> &run);
