#include "demo/ReaderPanel.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QScreen>
#include <QVBoxLayout>

#include "PtyReaderLink.h"
#include "ReadFormatter.h"
#include "SimulatedHidPlatform.h"
#include "ui/MainWindow.h"

namespace {

constexpr int kRefreshMs = 200;
constexpr size_t kMisreadPosition = 5;

QPushButton* Button(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QString Hex(const ConfigBlock& block) {
    QString text;
    for (size_t i = 0; i < block.size(); ++i) {
        text += QStringLiteral("%1").arg(block[i], 2, 16, QLatin1Char('0')).toUpper();
        text += i % 12 == 11 ? QStringLiteral("\n") : QStringLiteral(" ");
    }
    return text.trimmed();
}

}  // namespace

ReaderPanel::ReaderPanel(MainWindow& window, SimulatedHidPlatform& usbDevices, int usbReader,
                         PtyReaderLink& serialReader)
    : QWidget(&window, Qt::Window | Qt::WindowDoesNotAcceptFocus),
      window_(window),
      usbDevices_(usbDevices),
      usbReader_(usbReader),
      serialReader_(serialReader),
      typer_(window) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Simulated reader"));

    auto* layout = new QVBoxLayout(this);
    channel_ = new QLabel(this);
    layout->addWidget(channel_);

    auto* buttons = new QGridLayout;
    QPushButton* cheque = Button(QStringLiteral("Read the cheque"), this);
    QPushButton* other = Button(QStringLiteral("Read another cheque"), this);
    QPushButton* misread = Button(QStringLiteral("Read a cheque with a misread"), this);
    QPushButton* card = Button(QStringLiteral("Swipe a card"), this);
    cable_ = Button(QStringLiteral("Pull the USB cable"), this);
    auto* silent = new QCheckBox(QStringLiteral("Silent"), this);
    auto* refuse = new QCheckBox(QStringLiteral("Refuse commands"), this);
    silent->setFocusPolicy(Qt::NoFocus);
    refuse->setFocusPolicy(Qt::NoFocus);
    buttons->addWidget(cheque, 0, 0);
    buttons->addWidget(other, 0, 1);
    buttons->addWidget(misread, 1, 0);
    buttons->addWidget(card, 1, 1);
    buttons->addWidget(cable_, 2, 0);
    buttons->addWidget(silent, 3, 0);
    buttons->addWidget(refuse, 3, 1);
    layout->addLayout(buttons);

    layout->addWidget(new QLabel(QStringLiteral("Configuration (24 bytes):"), this));
    config_ = new QLabel(this);
    config_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    config_->setTextInteractionFlags(Qt::NoTextInteraction);
    layout->addWidget(config_);

    connect(cheque, &QPushButton::clicked, this, &ReaderPanel::ReadCheque);
    connect(other, &QPushButton::clicked, this, &ReaderPanel::ReadOtherCheque);
    connect(misread, &QPushButton::clicked, this, &ReaderPanel::ReadMisreadCheque);
    connect(card, &QPushButton::clicked, this, &ReaderPanel::SwipeCard);
    connect(cable_, &QPushButton::clicked, this, &ReaderPanel::ToggleCable);
    connect(silent, &QCheckBox::toggled, this, &ReaderPanel::SetSilent);
    connect(refuse, &QCheckBox::toggled, this, &ReaderPanel::SetRefuse);

    // The configuration changes as commands arrive from the utility.
    connect(&refresh_, &QTimer::timeout, this, &ReaderPanel::Refresh);
    refresh_.start(kRefreshMs);
    Refresh();
}

ReaderPanel& ReaderPanel::Open(MainWindow& window, SimulatedHidPlatform& usbDevices, int usbReader,
                               PtyReaderLink& serialReader) {
    auto* panel = new ReaderPanel(window, usbDevices, usbReader, serialReader);
    panel->show();
    // Once the window is up and placed, the panel goes beside it.
    QTimer::singleShot(0, panel, [panel, &window] { panel->PlaceBeside(window); });
    return *panel;
}

void ReaderPanel::PlaceBeside(const QWidget& window) {
    constexpr int kGap = 8;
    const QRect frame = window.frameGeometry();
    const QRect screen =
        window.screen() != nullptr ? window.screen()->availableGeometry() : QRect();
    const int right = frame.right() + kGap;
    const int x =
        right + width() <= screen.right() ? right : std::max(0, frame.left() - kGap - width());
    move(x, frame.top());
}

bool ReaderPanel::OnSerial() const {
    return window_.ConnectModeIndex() == kSerialMode;
}

ConfigBlock ReaderPanel::Config() {
    if (OnSerial()) {
        return serialReader_.WithModel([](ReaderModel& m) { return m.Config(); });
    }
    return usbDevices_.Reader(usbReader_).Config();
}

void ReaderPanel::Deliver(const std::vector<uint8_t>& bytes) {
    if (OnSerial()) {
        // What a line nobody reads does not take is dropped: the panel runs
        // on the window's thread and must never wait for the line.
        serialReader_.Offer(bytes);
        return;
    }
    if (!plugged_) {
        return;
    }
    // Over USB the reader is a keyboard: each byte is a typed character.
    QString text;
    for (uint8_t b : bytes) {
        text += QChar(b);
    }
    typer_.Type(text);
}

void ReaderPanel::ReadCheque() {
    Deliver(FormatChequeRead(Config(), kSampleChequeLines[cheque_]));
}

void ReaderPanel::ReadOtherCheque() {
    cheque_ = (cheque_ + 1) % kSampleChequeLines.size();
    ReadCheque();
}

void ReaderPanel::ReadMisreadCheque() {
    std::string line = kSampleChequeLines[0];
    line[kMisreadPosition] = '?';
    Deliver(FormatChequeRead(Config(), line));
}

void ReaderPanel::SwipeCard() {
    Deliver(FormatCardRead(Config(), kSampleCardTracks));
}

void ReaderPanel::ToggleCable() {
    plugged_ = !plugged_;
    if (plugged_) {
        usbDevices_.Plug(usbReader_);
    } else {
        usbDevices_.Pull(usbReader_);
    }
    cable_->setText(plugged_ ? QStringLiteral("Pull the USB cable")
                             : QStringLiteral("Plug the USB cable in"));
}

void ReaderPanel::SetSilent(bool on) {
    usbDevices_.Reader(usbReader_).faults.silent = on;
    serialReader_.WithModel([on](ReaderModel& m) { m.faults.silent = on; });
}

void ReaderPanel::SetRefuse(bool on) {
    usbDevices_.Reader(usbReader_).faults.refuse = on;
    serialReader_.WithModel([on](ReaderModel& m) { m.faults.refuse = on; });
}

void ReaderPanel::Refresh() {
    channel_->setText(OnSerial() ? QStringLiteral("Answering on the serial line %1")
                                       .arg(QString::fromStdString(serialReader_.Path()))
                      : plugged_ ? QStringLiteral("Answering over USB (feature reports)")
                                 : QStringLiteral("USB cable pulled out"));
    config_->setText(Hex(Config()));
}
