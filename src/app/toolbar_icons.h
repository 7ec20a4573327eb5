#pragma once
// Icons of the toolbar's commands: the desktop theme's when it has them,
// otherwise the style's own or simple drawn ones.

#include "editor/core/command_actions.h"

#include <QIcon>

class QStyle;

QIcon toolbarIcon(Command command, const QStyle &style);
