#pragma once
// Sets the size from which a read uses a second thread, for one test.

#include "catalogue/catalogue_reading.h"

class ThreadedReadFrom {
public:
    explicit ThreadedReadFrom(qint64 bytes) { SetThreadedReadFrom(bytes); }
    ~ThreadedReadFrom() { SetThreadedReadFrom(qint64(4) << 20); }
    ThreadedReadFrom(const ThreadedReadFrom &) = delete;
    ThreadedReadFrom &operator=(const ThreadedReadFrom &) = delete;
};
