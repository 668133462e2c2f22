// The tool bar and window icons of the program, drawn with QPainter (no image files needed).
#pragma once

#include <QIcon>

namespace tarnwell {

// The icon of a command's tool button; a null icon for commands without one.
QIcon ToolIcon(int commandId);
// The program's own icon (window icon, About box).
QIcon AppIcon();

}  // namespace tarnwell
