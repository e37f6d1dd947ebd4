#pragma once

#include <QIcon>

// The window icon: a cheque entering a reader, 32 x 32 and 16 x 16.
QIcon AppIcon();
