#pragma once

#include <QIcon>

// The program's own icon: a fire hydrant, drawn at the usual icon sizes.
QIcon appIcon();
