#pragma once

#include <QPoint>

// Where a minimised window draws its icon: centred, rounding as the
// dialog framework does, with divisions truncating toward zero.
constexpr QPoint MinimizedIconPosition(int clientWidth, int clientHeight, int iconWidth,
                                       int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}
