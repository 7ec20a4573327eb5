#pragma once
// Writing a long run of bytes made in pieces on two threads: the pieces are
// serialised alternately by this thread and a helper, and written in order.

#include <QIODevice>

#include <cstddef>
#include <functional>
#include <string>

// Writes runs 0 .. runs-1 to device, in order; serialise(run, out) appends
// the bytes of one run to out (empty when called): the even runs on the
// calling thread, the odd ones on the helper, at the same time. The helper works one run
// ahead, so at most three runs are in memory at once. False when a write
// fails (the runs not yet written are then not serialised).
bool WriteRunsOnTwoThreads(QIODevice &device, std::size_t runs,
                           const std::function<void(std::size_t run, std::string &out)> &serialise);
