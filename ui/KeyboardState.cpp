#include "ui/KeyboardState.h"

#include <QGuiApplication>

#if defined(_WIN32)
#include <windows.h>
#elif QT_CONFIG(xcb) && __has_include(<X11/XKBlib.h>)
#include <QLibrary>
// Xlib last: its macros (Bool, Status, None) would clash with Qt's headers.
#include <X11/XKBlib.h>
#define TARNWELL_XKB_STATE 1
#endif

namespace tarnwell {

bool CapsLockOn() {
#if defined(_WIN32)
    return (GetKeyState(VK_CAPITAL) & 1) != 0;
#elif defined(TARNWELL_XKB_STATE)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display()) return false;
    // Resolved at run time, so that the program needs no X library of its own to start.
    using GetState = Status (*)(Display*, unsigned int, XkbStatePtr);
    static const auto getState = reinterpret_cast<GetState>(QLibrary::resolve(QStringLiteral("X11"), 6, "XkbGetState"));
    if (!getState) return false;
    XkbStateRec state{};
    if (getState(x11->display(), XkbUseCoreKbd, &state) != Success) return false;
    return (state.locked_mods & LockMask) != 0;
#else
    return false;
#endif
}

}  // namespace tarnwell
