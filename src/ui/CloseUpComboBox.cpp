#include "CloseUpComboBox.h"

#include <QAbstractItemView>

void CloseUpComboBox::hidePopup() {
    const bool wasShown = view() != nullptr && view()->isVisible();
    QComboBox::hidePopup();
    if (wasShown) {
        QMetaObject::invokeMethod(this, &CloseUpComboBox::closedUp, Qt::QueuedConnection);
    }
}
