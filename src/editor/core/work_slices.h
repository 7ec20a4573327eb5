#pragma once
// Long passes of the editor (the quick filter, search) run on the GUI
// thread in slices: a slice does steps of work until its time is up, then
// the event loop runs (painting, keys, a newer keystroke) before the next
// slice. The work itself is a step function: do up to N units, say whether
// the pass is done.

#include <QElapsedTimer>
#include <algorithm>
#include <cstddef>
#include <functional>

struct WorkSlices {
    // Time of the first slice, run at once by the command: a pass that fits
    // is done before the command returns, as it always was on smaller files.
    static constexpr int kFirstSliceMs = 40;
    // Time of each later slice, well under what a user notices as a stall.
    static constexpr int kSliceMs = 20;
    // Units between two looks at the clock.
    static constexpr size_t kStepUnits = 512;

    // At most this many units a slice (0: no limit), so that a test makes a
    // small catalogue take many slices.
    size_t unitLimit = 0;

    // Runs step(units) until it returns true (the pass is done: true) or
    // the slice is used up (false).
    template <typename Step>
    bool run(Step &&step, bool first) const
    {
        QElapsedTimer clock;
        clock.start();
        const int ms = first ? kFirstSliceMs : kSliceMs;
        size_t done = 0;
        for (;;) {
            size_t units = kStepUnits;
            if (unitLimit) {
                if (done >= unitLimit)
                    return false;
                units = std::min(units, unitLimit - done);
            }
            if (step(units))
                return true;
            done += units;
            if (clock.elapsed() >= ms)
                return false;
        }
    }
};

// Rows of the grid looked at one after the other for the first that passes
// a test, from `first` on for `count` rows, round past the last row to row 0.
class RowScan {
public:
    RowScan(int first, int count, int rowCount, std::function<bool(int row)> test)
        : m_first(first), m_count(count), m_rowCount(rowCount), m_test(std::move(test))
    {
    }
    // Looks at up to `units` more rows; true once a row passed or none is left.
    bool step(size_t units)
    {
        for (; units > 0 && m_done < m_count; --units, ++m_done) {
            const int row = (m_first + m_done) % m_rowCount;
            if (m_test(row)) {
                m_found = row;
                return true;
            }
        }
        return m_done >= m_count;
    }
    int found() const { return m_found; }
    int percentDone() const { return m_count > 0 ? int(qint64(m_done) * 100 / m_count) : 100; }

private:
    int m_first, m_count, m_rowCount;
    std::function<bool(int row)> m_test;
    int m_done = 0;
    int m_found = -1;
};
