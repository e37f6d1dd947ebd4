// What the window does with its form's events.
#include "protocol/ControlIds.h"
#include "ui/CommandPanels.h"
#include "ui/MainWindow.h"

void MainWindow::OnClicked(int id) {
    if (id == ctl::Exit) {
        reject();
    } else if (id == ctl::SendCmd) {
        // The frame of a running exchange is not touched.
        if (!usbExchange_.Running()) {
            protocol_.BuildCommandFrame();
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
    if (id == ctl::CommandTypeList && !usbExchange_.Running()) {
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
    exchange_.commandType = form_->SelectedIndex(ctl::CommandTypeList);
    PrepareCommandPanel();
    form_->FocusComparisonBox();
}

void MainWindow::PrepareCommandPanel() {
    form_->DisableAllControls();
    form_->EnableTestControls();
    protocol_.PrepareCommandFrame();
    if (IsCommandType(exchange_.commandType)) {
        for (int id : CommandPanelControls(exchange_.commandType)) {
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
    connection_.Close(connection_.Mode());
    connection_.Open();
    protocol_.Load();
    form_->FocusComparisonBox();
}

void MainWindow::OnConnectModeClosedUp() {
    form_->DisableAllControls();
    const ConnectMode oldMode = connection_.Mode();
    protocol_.Save();
    connection_.SetMode(static_cast<ConnectMode>(form_->SelectedIndex(ctl::ConnectModeList)));
    form_->ClearList(ctl::CommandTypeList);
    FillCommandList();
    connection_.Close(oldMode);
    connection_.Open();
    UpdateTitle();
    protocol_.Load();
    form_->FocusComparisonBox();
}

void MainWindow::OnCountAgain() {
    readData_.Stop();
    usbExchange_.ResetKeys();
    readTest_.OnCountAgain();
}
