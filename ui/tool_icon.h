// The tool's icon (icon 128): a hub with three ports on the tree's blue, drawn in code so it
// is sharp at every size.
#pragma once

#include <QIcon>
#include <QPixmap>

QPixmap ToolIconPixmap(int size);
QIcon ToolIcon();
