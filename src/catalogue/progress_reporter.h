#pragma once
#include <QString>

// Progress of long document operations; the editor shows it in a dialog,
// the command-line tool may ignore it.
class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;
    virtual void setTotal(int steps) = 0;
    virtual void show() = 0;
    virtual void step(const QString &text) = 0;
    // Offers the user a way to stop (called before show()); an operation
    // that asks for it checks cancelled() between steps.
    virtual void allowCancel() {}
    virtual bool cancelled() const { return false; }
};
