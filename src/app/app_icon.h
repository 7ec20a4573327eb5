#pragma once
// The program's icon, drawn in code after data/rendaro.svg (which the
// desktop uses), so the program needs no image plugin for it.

#include <QIcon>

QIcon rendaroIcon();
