// State of the keyboard's lock keys, as the status bar shows it.
#pragma once

namespace tarnwell {

// True while Caps Lock is on. False where the platform does not tell (for example on the offscreen
// platform or a Wayland session).
bool CapsLockOn();

}  // namespace tarnwell
