#include "ui/MainWindow.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>

#include "form/ControlIds.h"
#include "protocol/CommandSet.h"
#include "protocol/ConnectionTexts.h"
#include "protocol/NameTables.h"
#include "ui/DialogUnits.h"
#include "ui/FormSurface.h"
#include "ui/IconPosition.h"
#include "ui/KeyCapture.h"

namespace {
constexpr const char* kAboutEntry = "About Tallisk(&A)...";
constexpr const char* kCaptionAsDesigned = "Tallisk Ver 1.0";

QSize FormSizeOn(QWidget* window) {
    window->setFont(FormFont());  // dialog units come from the form's font
    const DialogBaseUnits base = BaseUnitsOf(window->font());
    return {DluToPixelsX(kFormWidthDlu, base), DluToPixelsY(kFormHeightDlu, base)};
}

FormFit FitOnScreen(QWidget* window, QSize form) {
    return FitForm(form, window->screen()->availableGeometry().size(),
                   window->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}
}  // namespace

MainWindow::MainWindow(ReaderStack& reader, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      reader_(reader),
      formSize_(FormSizeOn(this)),
      fit_(FitOnScreen(this, formSize_)),
      form_(new QtForm(FormSurfaceOf(this, fit_, formSize_))),
      protocol_(*form_, record_),
      readTest_(*form_),
      readData_(*form_),
      usbSteps_(ExchangeSteps::Channel::Usb, StepsWindow()),
      serialSteps_(ExchangeSteps::Channel::Serial, StepsWindow()),
      connectionSteps_(*this, *form_, record_, protocol_, [this] { OnCountAgain(); }),
      deviceIndex_(kCurrentDeviceIndex),
      windowMenu_(new QMenu(this)),
      icon_(QApplication::windowIcon()) {
    reader_.Attach(usbSteps_, serialSteps_, connectionSteps_);
    setWindowTitle(QString::fromUtf8(kCaptionAsDesigned));
    // At its own size the form cannot be shrunk and clipped; in a scroll
    // area the window can grow until the form needs no scroll bar.
    if (fit_.scrolls) {
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        resize(fit_.window);
        setMaximumSize(formSize_ + QSize(bar, bar));
    } else {
        setFixedSize(formSize_);
    }
    move(FirstPlace(size(), screen()->availableGeometry()));

    windowMenu_->addAction(tr("Close"))->setData(kCloseCommand);
    connect(windowMenu_, &QMenu::triggered, this,
            [this](QAction* action) { OnSysCommand(action->data().toInt()); });
    // The window manager owns the title bar's menu; this one opens from the
    // form's background or with Alt+Space.
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(shortcut, &QShortcut::activated, this,
            [this] { ShowWindowMenu(mapToGlobal(QPoint(0, 0))); });

    connect(form_, &QtForm::clicked, this, &MainWindow::OnClicked);
    connect(form_, &QtForm::selectionChanged, this, &MainWindow::OnSelectionChanged);
    connect(form_, &QtForm::closedUp, this, &MainWindow::OnClosedUp);

    // Characters a USB reader types, except those that arrive while an
    // exchange dispatches events itself. Outside USB mode a key only moves
    // the focus, as the start of a read would.
    new KeyCapture(this, [this](const std::string& character) {
        if (reader_.Usb().Running()) {
            return;
        }
        if (reader_.Connection().Mode() == kUsbHidMode) {
            reader_.Usb().OnKeyCharacter(character);
        } else {
            form_->FocusComparisonBox();
        }
    });
}

MainWindow::~MainWindow() {
    reader_.Connection().Close(reader_.Connection().Mode());
    reader_.Detach();
}

ExchangeSteps::Window MainWindow::StepsWindow() {
    return {*form_, protocol_, record_, readTest_, readData_, reader_.Connection()};
}

int MainWindow::RunModal() {
    Initialise();
    return exec();
}

void MainWindow::Initialise() {
    protocol_.Load();
    AppendAboutEntry();
    setWindowIcon(icon_);
    protocol_.Save();
    deviceIndex_ = kCurrentDeviceIndex;
    reader_.Connection().SetMode(kUsbHidMode);
    reader_.Usb().ResetKeys();
    protocol_.SetCommandType(kNoCommand);
    form_->Enable(ctl::CommandTypeList, false);
    form_->DisableAllControls();

    form_->AddListEntry(ctl::DeviceNameList,
                        QString::fromUtf8(kDeviceModels[static_cast<size_t>(deviceIndex_)].name));
    for (const char* mode : kConnectModeNames) {
        form_->AddListEntry(ctl::ConnectModeList, QString::fromUtf8(mode));
    }
    FillCommandList();
    form_->SelectIndex(ctl::DeviceNameList, 0);
    form_->SelectIndex(ctl::ConnectModeList, reader_.Connection().Mode());
    form_->SelectIndex(ctl::CommandTypeList, protocol_.CommandType());
    FillCodeLists();
    UpdateTitle();
    record_.statusText = status::kPrefix;
    reader_.Connection().Open();
    form_->FocusComparisonBox();
    protocol_.Load();
    // The first control that takes the focus gets it, as a dialog starts.
    form_->Focus(ctl::Exit);
}

void MainWindow::AppendAboutEntry() {
    windowMenu_->addSeparator();
    windowMenu_->addAction(QString::fromUtf8(kAboutEntry))->setData(kAboutCommand);
}

void MainWindow::FillCommandList() {
    protocol_.Load();
    for (std::string_view name : CommandNameTable()[static_cast<size_t>(deviceIndex_)]) {
        if (!name.empty()) {
            form_->AddListEntry(
                ctl::CommandTypeList,
                QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        }
    }
}

void MainWindow::FillCodeLists() {
    protocol_.Load();
    QStringList entries;
    for (int value = 1; value <= kCodeListEntries; ++value) {
        const std::string_view name = CodeNameOf(value);
        entries << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
    for (const CodeBinding& code : kCodeBindings) {
        form_->AddListEntries(code.listId, entries);
    }
}

void MainWindow::UpdateTitle() {
    protocol_.Save();
    setWindowTitle(QStringLiteral("%1 [%2]").arg(
        QString::fromUtf8(kDeviceModels[static_cast<size_t>(deviceIndex_)].name),
        QString::fromUtf8(kConnectModeNames[static_cast<size_t>(reader_.Connection().Mode())])));
    protocol_.Load();
}

void MainWindow::OnSysCommand(int commandId) {
    if ((commandId & ~0xF) == kAboutCommand) {
        emit aboutRequested();
    } else if (commandId == kCloseCommand) {
        close();
    }
}

void MainWindow::ShowWindowMenu(const QPoint& globalPos) {
    windowMenu_->popup(globalPos);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    ShowWindowMenu(event->globalPos());
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // No dialog keyboard handling: Escape does not close, Enter presses nothing.
    QWidget::keyPressEvent(event);
}

bool MainWindow::focusNextPrevChild(bool /*next*/) {
    return false;  // Tab does not move between controls
}

void MainWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        KeepInsideOnceFramed(*this);
    }
}

void MainWindow::paintEvent(QPaintEvent* event) {
    if (!isMinimized()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const int extent = style()->pixelMetric(QStyle::PM_LargeIconSize);
    const QPoint at = MinimizedIconPosition(width(), height(), extent, extent);
    icon_.paint(&painter, at.x(), at.y(), extent, extent);
}
