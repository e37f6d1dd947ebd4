#pragma once

#include "ControlIds.h"
#include "QtForm.h"

// What a technician does with the lists of the form: choose an entry and
// let the list close, as the tests and the benchmarks drive the window.
inline void ChooseConnectMode(QtForm& form, int mode) {
    form.SelectIndex(ctl::ConnectModeList, mode);
    emit form.closedUp(ctl::ConnectModeList);
}

inline void ChooseCommand(QtForm& form, int type) {
    form.SelectIndex(ctl::CommandTypeList, type);
    emit form.selectionChanged(ctl::CommandTypeList);
}
