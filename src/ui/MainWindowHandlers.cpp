// What the window does with its form's events.
#include "form/CommandPanels.h"
#include "form/ControlIds.h"
#include "ui/MainWindow.h"

void MainWindow::OnClicked(int id) {
    if (id == ctl::Exit) {
        reject();
    } else if (id == ctl::SendCmd) {
        // The frame of a running exchange is not touched.
        if (!reader_.Usb().Running()) {
            reader_.Order(protocol_.BuildCommandFrame());
        }
    } else if (id == ctl::CustomRadio) {
        form_->EnableAllControls();
    } else if (id >= ctl::FirstNamedDeviceTypeRadio && id <= ctl::LastDeviceTypeRadio) {
        OnDeviceTypeNotCustom();
    } else if (id == ctl::ComparisonCheck) {
        readTest_.OnComparison();
    } else if (id == ctl::CountAgain) {
        OnCountAgain();
    }
}

void MainWindow::OnSelectionChanged(int id) {
    if (id == ctl::CommandTypeList && !reader_.Usb().Running()) {
        OnCommandTypeChanged();
    }
}

void MainWindow::OnClosedUp(int id) {
    if (id == ctl::DeviceNameList) {
        OnDeviceNameClosedUp();
    } else if (id == ctl::ConnectModeList) {
        OnConnectModeClosedUp();
    } else if (id != ctl::MsrErrorCodeList && id != ctl::MicrErrorCodeList) {
        // Closing the two error-code lists leaves the focus where it is.
        form_->FocusComparisonBox();
    }
}

void MainWindow::OnCommandTypeChanged() {
    protocol_.Save();
    protocol_.SetCommandType(form_->SelectedIndex(ctl::CommandTypeList));
    PrepareCommandPanel();
    form_->FocusComparisonBox();
}

void MainWindow::PrepareCommandPanel() {
    form_->DisableAllControls();
    form_->EnableTestControls();
    reader_.Order(protocol_.PrepareCommandFrame());
    if (IsCommandType(protocol_.CommandType())) {
        for (int id : CommandPanelControls(protocol_.CommandType())) {
            form_->Enable(id, true);
        }
        form_->Enable(ctl::SendCmd, true);
    } else {
        // No command chosen: the test controls end disabled too.
        form_->DisableAllControls();
    }
    protocol_.Load();
}

void MainWindow::OnDeviceTypeNotCustom() {
    form_->DisableAllControls();
    form_->EnableTestControls();
    for (int id : DeviceTypeGroupIds()) {
        form_->Enable(id, true);
    }
    form_->Enable(ctl::SendCmd, true);
}

void MainWindow::OnDeviceNameClosedUp() {
    // The list has one entry: this reconnects with the same model and mode.
    form_->DisableAllControls();
    protocol_.Save();
    form_->ClearList(ctl::CommandTypeList);
    FillCommandList();
    UpdateTitle();
    reader_.Connection().Close(reader_.Connection().Mode());
    reader_.Connection().Open();
    protocol_.Load();
    form_->FocusComparisonBox();
}

void MainWindow::OnConnectModeClosedUp() {
    form_->DisableAllControls();
    const ConnectMode oldMode = reader_.Connection().Mode();
    protocol_.Save();
    reader_.Connection().SetMode(
        static_cast<ConnectMode>(form_->SelectedIndex(ctl::ConnectModeList)));
    form_->ClearList(ctl::CommandTypeList);
    FillCommandList();
    reader_.Connection().Close(oldMode);
    reader_.Connection().Open();
    UpdateTitle();
    protocol_.Load();
    form_->FocusComparisonBox();
}

void MainWindow::OnCountAgain() {
    readData_.Stop();
    reader_.Usb().ResetKeys();
    readTest_.OnCountAgain();
}
