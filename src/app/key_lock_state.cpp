// Kept apart because the X11 headers define names (KeyRelease, None, ...)
// that clash with Qt's.
#include "app/key_lock_state.h"

#include <QGuiApplication>

#if __has_include(<X11/XKBlib.h>) && QT_CONFIG(xcb)
#include <X11/XKBlib.h>

bool readKeyLocks(bool on[3])
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    const char *indicators[] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    for (int i = 0; i < 3; ++i) {
        Bool state = False;
        const Atom atom = XInternAtom(display, indicators[i], True);
        on[i] = atom != None && XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr) && state;
    }
    return true;
}
#else
bool readKeyLocks(bool[3]) { return false; }
#endif
