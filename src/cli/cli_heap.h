#pragma once
// Process-wide preparation of the C library's heap for reading a large file.

#include <QtGlobal>

// Before a command reads a file of `bytes` bytes into memory: asks the heap
// to grow in one step by what such a file takes in memory and asks the
// kernel to back that stretch with huge pages where it can. A 100 MB file
// becomes some 400 MB of small nodes and strings, and touching them for the
// first time page by page cost a fifth of reading it. Does nothing for small
// files, off glibc, or when the heap cannot be grown that way; it changes
// only where memory comes from, never what a command does.
//
// How the file is held decides how much of that the reading thread surely
// fills, which is made ready ahead of it: a tree fills about three times the
// file; a file read flat (its texts in blocks, its entries on another
// thread) about one and a half times its size.
enum class FileInMemory { Tree, Flat };
void PrepareHeapForLargeFile(qint64 bytes, FileInMemory held = FileInMemory::Tree);
