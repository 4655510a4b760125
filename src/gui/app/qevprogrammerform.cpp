#include "qevprogrammerform.h"
#include "ui_qevprogrammerform.h"

#include "app/aled.h"
#include "app/devicecodes.h"
#include "app/errordisplay.h"
#include "app/fieldcolours.h"
#include "app/flaghint.h"
#include "app/language.h"
#include "app/messagetext.h"
#include "app/pictures.h"
#include "app/programfont.h"
#include "app/statusline.h"
#include "app/windowkeys.h"
#include "devicelink/devicelink.h"
#include "devicelink/networkpage.h"
#include "devicelink/selectipform.h"
#include "flows/netprogramming.h"
#include "netinspect/adapters.h"
#include "netinspect/arp.h"
#include "netinspect/ipv4.h"
#include "pages/boosterbus.h"
#include "pages/devicepage.h"
#include "report/reportrun.h"
#include "trace/protokollform.h"

#include <QApplication>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>

namespace {

QString messageText(const qev::ComposedText &text) {
    return qev::ComposeText(text, [](int id) { return MessageText(id); });
}

bool askYesNo(QWidget *parent, const QString &caption, const QString &text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

// An exchange of the window is running: the link counts as busy, so nothing else can start
// traffic, and the window's activation leaves the page alone.
class TQevProgrammerForm::Busy {
public:
    explicit Busy(TQevProgrammerForm *form)
        : m_form(form)
        , m_link(*form->m_link) {
        ++m_form->m_busy;
    }
    ~Busy() { --m_form->m_busy; }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

private:
    TQevProgrammerForm *m_form;
    qev::DeviceLink::Busy m_link;
};

// Renders what the flows tell while they run, and puts their questions to the user.
class TQevProgrammerForm::FlowView final : public qev::flow::ProgrammingProgress {
public:
    // waitCursor: the hour-glass shows while the search collects its answers.
    explicit FlowView(TQevProgrammerForm *form, bool waitCursor = false)
        : m_form(form)
        , m_waitCursor(waitCursor) {}

    void progress(int step, int, int messageId) override {
        TQevProgrammerForm &f = *m_form;
        switch (step) {
        case qev::flow::SearchCollecting:
            if (m_waitCursor)
                QApplication::setOverrideCursor(Qt::WaitCursor);
            break;
        case qev::flow::SearchIdentifying:
            if (m_waitCursor)
                QApplication::restoreOverrideCursor();
            break;
        case qev::flow::ProgrammingStarted:
            m_started = true;
            f.ui->WriteBtn->setEnabled(false);
            f.ProgressTimer->start();
            f.m_status->switchOff();
            break;
        case qev::flow::ProgrammingSent:
            m_sent = true;
            f.SaveLastValues();
            break;
        case qev::flow::ProgrammingReachable:
            f.m_status->setLed(LedColour::Green, false, true);
            f.SetStatusText(MessageText(messageId));
            break;
        default:
            break;
        }
    }
    void found(const qev::DeviceRecord &device, const qev::FoundPresentation &shown) override {
        m_form->showFound(device, shown);
    }
    bool confirm(const qev::Confirmation &question) override {
        return m_form->m_confirmation(MessageText(question.captionId), messageText(question.text));
    }
    void datagramBuilt(const qev::NetSettingsDatagram &datagram) override {
        m_form->ui->TabSheetMain->setPortText(datagram.portText);
    }

    bool started() const { return m_started; }
    bool sent() const { return m_sent; }

private:
    TQevProgrammerForm *m_form;
    bool m_waitCursor;
    bool m_started = false;
    bool m_sent = false;
};

TQevProgrammerForm::TQevProgrammerForm(const QString &settingsFile, const qev::ProtocolPorts &ports,
                                       QWidget *parent, qev::SocketFactory openSocket)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TQevProgrammerForm>())
    , m_ports(ports)
    , m_settingsFile(settingsFile) {
    setFont(ProgramFont());
    ui->setupUi(this);
    m_link = std::make_unique<qev::DeviceLink>(m_ports, qev::LoadDeviceCodes(settingsFile), pump(),
                                               std::move(openSocket));
    // Every wait for a device keeps the window drawn and answering.
    qev::InstallWindowPump(pump());
    m_link->setBusyListener([this](bool busy) { linkBusyChanged(busy); });
    m_confirmation = [this](const QString &caption, const QString &text) {
        return askYesNo(this, caption, text);
    };

    setUpWindow();
    m_status = std::make_unique<StatusLine>(*ui->StatusBar1, *ui->Led);
    AddProtokollButton(ui->StatusBar1, this);
    setUpPictures();
    setUpAccessibleNames();

    tmrSuche = new QTimer(this);
    tmrSuche->setObjectName(QStringLiteral("tmrSuche"));
    tmrSuche->setInterval(20);
    ProgressTimer = new QTimer(this);
    ProgressTimer->setObjectName(QStringLiteral("ProgressTimer"));
    ProgressTimer->setInterval(70);

    // Creation of the window.
    SetStatusText(QStringLiteral("Version: 2.21"));
    setPageCaption(ui->TabSheetBooster, QStringLiteral("Kopla Booster"));
    setPageCaption(ui->TabSheetManager, QStringLiteral("Kopla Manager"));
    attachPages();
    changeDevice([&](qev::CurrentDevice &d) { d.programmingAllowed = true; });
    ShowPage(ui->TabSheetMain);
    m_lastPage = ui->TabSheetMain;
    HideAllPages();
    SwitchLanguage(StartupLanguage());
    m_language = ActiveLanguage();
    qev::ArpMacList(m_arpList);
    changeDevice([&](qev::CurrentDevice &d) { d.deviceClass = 0; });
    m_searchDone = false;
    m_report = new ReportRun(
        {*m_link, ui->pbPrint, ui->lbSteckbriefStatus,
         [this](const QString &caption, const QString &text) { return confirm(caption, text); },
         [this] {
             return qev::report::AdapterCaptions{
                 ui->Label29Caption->text(), ui->Label26Caption->text(), ui->Label76Caption->text(),
                 networkPage().dxMaskEdit4Caption->text()};
         },
         this});

    connectHandlers();
}

TQevProgrammerForm::~TQevProgrammerForm() {
    qev::InstallWindowPump({});
}

void TQevProgrammerForm::changeDevice(const std::function<void(qev::CurrentDevice &)> &change) {
    qev::CurrentDevice device = m_link->current();
    change(device);
    m_link->setCurrent(device);
}

void TQevProgrammerForm::setConfirmation(Confirmation confirmation) {
    m_confirmation = std::move(confirmation);
}

void TQevProgrammerForm::setDevicePicker(qev::DevicePicker picker) {
    m_picker = std::move(picker);
}

Ui::NetworkPage &TQevProgrammerForm::networkPage() const {
    return ui->TabSheetMain->ui;
}

Ui::SelectControllerPage &TQevProgrammerForm::selectPage() const {
    return ui->TabSheetSelectController->ui;
}

QList<QPushButton *> TQevProgrammerForm::savedStateButtons() const {
    return {ui->btnSuche, ui->WriteBtn, ui->btnDirekt, ui->btnSteckbrief};
}

qev::EventPump TQevProgrammerForm::pump() const {
    return [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    };
}

qev::flow::SearchOptions TQevProgrammerForm::searchOptions() {
    return {ui->Label29->text(), picker(), pump()};
}

qev::DevicePicker TQevProgrammerForm::picker() {
    if (m_picker)
        return m_picker;
    return PickListPicker(this, [this] { return m_language != 1; });
}

// ---- Pages ----

void TQevProgrammerForm::attachPages() {
    for (DevicePage *page : ui->PageControl1->devicePages())
        page->attach(*this);
}

void TQevProgrammerForm::linkBusyChanged(bool busy) {
    // A disabled parent leaves each button's own state alone, so the flows that enable and
    // disable their buttons keep doing so.
    ui->TrafficButtons->setEnabled(!busy);
    ui->PageControl1->tabBar()->setEnabled(!busy);
    for (DevicePage *page : ui->PageControl1->devicePages())
        page->setTrafficEnabled(!busy);
}

void TQevProgrammerForm::showOutcome(bool accepted) {
    if (accepted)
        ShowCommandAccepted();
    else
        ShowNoAnswer();
}

int TQevProgrammerForm::deviceTypeItem() const {
    return networkPage().dxPickEdit2->currentIndex();
}

void TQevProgrammerForm::setPageCaption(QWidget *page, const QString &caption) {
    ui->PageControl1->setPageCaption(page, caption);
}

void TQevProgrammerForm::setPageVisible(qev::Page page, bool visible) {
    SetPageVisible(PageWidget(page), visible);
}

void TQevProgrammerForm::setWindowButtonsEnabled(bool enabled) {
    for (QPushButton *button : {ui->btnSuche, ui->btnDirekt, ui->btnSteckbrief, ui->btnEnde})
        button->setEnabled(enabled);
}

bool TQevProgrammerForm::confirm(const QString &caption, const QString &text) {
    const Busy busy(this);
    return m_confirmation(caption, text);
}

BoosterBus &TQevProgrammerForm::boosterBus() {
    if (!m_boosterBus)
        m_boosterBus = new BoosterBus(*this, this);
    return *m_boosterBus;
}

// ---- Window, status bar and LED ----

void TQevProgrammerForm::setUpWindow() {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(753, 597);
    // Drawn as the default button; the window's key handling presses it.
    ui->btnEnde->setDefault(true);
}

void TQevProgrammerForm::setUpPictures() {
    setWindowIcon(WindowIcon());
    ui->ImageLeft->setPixmap(LeftPicture(ui->ImageLeft->size()));
    ui->Image9->setIcon(QIcon(GermanFlag(ui->Image9->iconSize())));
    ui->Image10->setIcon(QIcon(EnglishFlag(ui->Image10->iconSize())));
    ui->Image11->setIcon(QIcon(DutchFlag(ui->Image11->iconSize())));
    ui->Image12->setIcon(QIcon(InfoIcon(ui->Image12->iconSize())));
    ui->Image11->hide();
    // Pictures, not buttons: Enter never switches the language by accident.
    for (QToolButton *picture : {ui->Image9, ui->Image10, ui->Image11, ui->Image12})
        picture->setFocusPolicy(Qt::NoFocus);
    // The buttons keep their width while the search bar comes and goes.
    QSizePolicy keep = ui->pbSuche->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ui->pbSuche->setSizePolicy(keep);
}

void TQevProgrammerForm::setUpAccessibleNames() {
    // Controls without a caption or a buddy label of their own.
    ui->ImageLeft->setAccessibleName(tr("Qev Programmer: Netzwerk-Geräte der Spurnova-Linie"));
    ui->pbSuche->setAccessibleName(tr("Suche"));
    ui->ProgressBar2->setAccessibleName(tr("Programmieren"));
    m_status->retranslate();
    ui->PageControl1->setAccessibleName(tr("Seiten"));
    Ui::NetworkPage &n = networkPage();
    n.dxPickEdit1->setAccessibleName(tr("UDP Port"));
    n.gbGefunden->setAccessibleName(n.gbGefunden->title());
    n.gbNeuProgrammieren->setAccessibleName(n.gbNeuProgrammieren->title());
    SetVerdictText(selectPage().lbSuchIP, selectPage().lbSuchIP->text());
}

TALed &TQevProgrammerForm::Led() const {
    return *ui->Led;
}

void TQevProgrammerForm::ShowNoDevice() {
    ShowNoAnswer();
    networkPage().dxMaskEdit8->setText(MessageText(IDS_114));
    networkPage().dxMaskEdit8->setEnabled(true);
}

// ---- Handlers ----

void TQevProgrammerForm::btnSteckbriefClick() {
    m_report->btnSteckbriefClick();
}

template <class Sender, class Signal, class Handler>
void TQevProgrammerForm::onSignal(Sender *sender, Signal signal, Handler handler) {
    connect(sender, signal, this, [this, handler](auto &&...) {
        RunGuarded(this, [this, handler] { (this->*handler)(); });
    });
}

void TQevProgrammerForm::connectHandlers() {
    Ui::NetworkPage &n = networkPage();
    Ui::SelectControllerPage &s = selectPage();

    onSignal(ui->btnEnde, &QPushButton::clicked, &TQevProgrammerForm::btnEndeClick);
    onSignal(ui->btnSuche, &QPushButton::clicked, &TQevProgrammerForm::btnSucheClick);
    onSignal(ui->WriteBtn, &QPushButton::clicked, &TQevProgrammerForm::WriteBtnClick);
    onSignal(ui->btnDirekt, &QPushButton::clicked, &TQevProgrammerForm::btnDirektClick);
    onSignal(ui->btnSteckbrief, &QPushButton::clicked, &TQevProgrammerForm::btnSteckbriefClick);
    onSignal(ui->Image9, &QToolButton::clicked, &TQevProgrammerForm::Image9Click);
    onSignal(ui->Image10, &QToolButton::clicked, &TQevProgrammerForm::Image10Click);
    onSignal(ui->Image11, &QToolButton::clicked, &TQevProgrammerForm::Image11Click);
    onSignal(ui->Image12, &QToolButton::clicked, &TQevProgrammerForm::Image12Click);
    onSignal(n.btnLastValue, &QPushButton::clicked, &TQevProgrammerForm::btnLastValueClick);
    onSignal(s.btnControllerOk, &QPushButton::clicked, &TQevProgrammerForm::btnControllerOkClick);
    onSignal(s.btnControllerAbort, &QPushButton::clicked,
             &TQevProgrammerForm::btnControllerAbortClick);

    onSignal(ui->TabSheetMain, &NetworkPage::writeButtonInputChanged,
             &TQevProgrammerForm::UpdateWriteButton);

    connect(ui->PageControl1, &QTabWidget::currentChanged, this,
            [this](int index) { RunGuarded(this, [this, index] { PageControl1Change(index); }); });
    onSignal(tmrSuche, &QTimer::timeout, &TQevProgrammerForm::tmrSucheTimer);
    onSignal(ProgressTimer, &QTimer::timeout, &TQevProgrammerForm::ProgressTimerTimer);

    OnDoubleClick(ui->ImageLeft, [this] { ImageLeftDblClick(); });
    OnDoubleClick(n.gbGefunden, [this] { gbGefundenDblClick(); });
    new WindowKeys(this, ui->btnEnde);
}

void TQevProgrammerForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        if (const QScreen *s = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(s->availableGeometry().center());
            move(frame.topLeft());
        }
        // At least once after start, also where the platform activates no window.
        QTimer::singleShot(0, this, [this] {
            if (!m_activated)
                RunGuarded(this, [this] { FormActivate(); });
        });
    }
}

void TQevProgrammerForm::changeEvent(QEvent *event) {
    QMainWindow::changeEvent(event);
    // A language switch: the pages re-text themselves; texts set at run time stay.
    if (event->type() == QEvent::LanguageChange && m_status) {
        ui->retranslateUi(this);
        ui->PageControl1->applyPageCaptions();
        // The accessible names copy group titles of the network page, which would re-text
        // itself only after this window.
        networkPage().retranslateUi(ui->TabSheetMain);
        setUpAccessibleNames();
        return;
    }
    // Every activation, from another program or from a dialog of this one, checks the PC's
    // network again: the user may have plugged in a cable or changed the address meanwhile.
    // An exchange in progress is left alone; its own dialogs come and go.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_busy == 0)
        RunGuarded(this, [this] { FormActivate(); });
}

void TQevProgrammerForm::FormActivate() {
    const bool first = !m_activated;
    m_activated = true;
    const QString localIP = qev::GetLocalIP();
    if (qev::IsNetworkPresent() && qev::IsWinsockUsable() && !localIP.isEmpty() &&
        localIP != QStringLiteral("127.0.0.1")) {
        // The network page starts afresh only when the PC's network is new to it; a file
        // chosen, a question answered or an error box closed leaves the user's page and
        // input as they were.
        const bool changed = first || m_noNetwork || localIP != ui->Label29->text();
        m_noNetwork = false;
        QFont normal = ui->Label29->font();
        normal.setBold(false);
        ui->Label29->setFont(normal);
        ui->Label29->setText(localIP);
        ui->Label26->setText(qev::GetLocalNetmask());
        ui->Label76->setText(qev::GetFirstGateway());
        if (changed)
            ResetNetworkPage();
        return;
    }
    m_noNetwork = true;
    m_status->setLed(LedColour::Red, true, true);
    showNoNetworkTexts();
    ui->btnSuche->setEnabled(false);
}

// ---- Language ----

void TQevProgrammerForm::Image9Click() {
    switchByFlag(LanguageGerman);
}

void TQevProgrammerForm::Image10Click() {
    switchByFlag(LanguageEnglish);
}

// The hidden Dutch flag: Dutch has no item texts, so there is no device type to keep.
void TQevProgrammerForm::Image11Click() {
    SwitchLanguage(LanguageDutch);
    m_language = ActiveLanguage();
    showNoNetworkTexts();
    RevalidateEntries();
}

void TQevProgrammerForm::switchByFlag(int language) {
    // Re-texting rewrites the device-type items.
    QComboBox *deviceType = networkPage().dxPickEdit2;
    const int item = deviceType->currentIndex();
    SwitchLanguage(language);
    m_language = ActiveLanguage();
    showNoNetworkTexts();
    deviceType->setCurrentIndex(item);
    RevalidateEntries();
}

// The two run-time texts of the no-network state, in the language now active.
void TQevProgrammerForm::showNoNetworkTexts() {
    if (!m_noNetwork)
        return;
    SetStatusText(MessageText(IDS_108));
    QFont bold = ui->Label29->font();
    bold.setBold(true);
    ui->Label29->setFont(bold);
    ui->Label29->setText(MessageText(IDS_124));
}

void TQevProgrammerForm::Image12Click() {
    if (!m_hint)
        m_hint = new FlagHint(this);
    TroubleshootingHint(*m_hint, *ui->Image12);
}

void TQevProgrammerForm::btnEndeClick() {
    close();
}

// ---- Pages ----

QWidget *TQevProgrammerForm::PageWidget(qev::Page page) const {
    return ui->PageControl1->widget(static_cast<int>(page));
}

void TQevProgrammerForm::SetPageVisible(QWidget *page, bool visible) {
    ui->PageControl1->setPageVisible(page, visible);
}

void TQevProgrammerForm::ShowPage(QWidget *page) {
    ui->PageControl1->showPage(page);
}

void TQevProgrammerForm::HideAllPages() {
    ui->PageControl1->hideAllPages();
}

void TQevProgrammerForm::PageControl1Change(int index) {
    // A hidden page opened by other means (a screen reader's press on its tab) is left at
    // once for the page the user came from.
    if (!ui->PageControl1->programmaticChange() && m_lastPage &&
        !ui->PageControl1->isTabEnabled(index)) {
        ui->PageControl1->returnTo(m_lastPage);
        return;
    }
    QWidget *page = ui->PageControl1->widget(index);
    QWidget *left = m_lastPage;
    m_lastPage = page;
    if (page == ui->TabSheetSelectController && left != page)
        ui->TabSheetSelectController->TabSheetSelectControllerShow(savedStateButtons(),
                                                                   networkPage().dxIPNeu->text());
    if (ui->PageControl1->programmaticChange())
        return;
    ui->WriteBtn->setEnabled(page == ui->TabSheetMain);
}

void TQevProgrammerForm::PrefillNewIP() {
    ui->TabSheetMain->PrefillNewIP(ui->Label29->text());
}

void TQevProgrammerForm::ResetNetworkPage() {
    ShowPage(ui->TabSheetMain);
    SetPageVisible(ui->TabSheetSelectController, false);
    Ui::NetworkPage &n = networkPage();
    n.gbNeuProgrammieren->setEnabled(true);
    for (QPushButton *button : savedStateButtons())
        button->setEnabled(true);
    n.dxMaskEdit8->setEnabled(true);
    n.dxIPNeu->clear();
    PrefillNewIP();
}

void TQevProgrammerForm::ClearFoundFields() {
    ui->TabSheetMain->clearFoundFields();
    HideAllPages();
    changeDevice([&](qev::CurrentDevice &d) { d.deviceClass = 0; });
}

void TQevProgrammerForm::ImageLeftDblClick() {
    ui->WriteBtn->setEnabled(true);
}

void TQevProgrammerForm::gbGefundenDblClick() {
    networkPage().gbNeuProgrammieren->setEnabled(true);
}

// ---- Settings file and the new settings ----

void TQevProgrammerForm::LoadLastValues() {
    ui->TabSheetMain->LoadLastValues(m_settingsFile);
}

void TQevProgrammerForm::SaveLastValues() {
    // Not silently: the user relies on "Letzte Werte" next time.
    if (!ui->TabSheetMain->SaveLastValues(m_settingsFile))
        ShowGeneralError(
            this, tr("Die Einstellungen konnten nicht gespeichert werden: %1").arg(m_settingsFile));
}

void TQevProgrammerForm::btnLastValueClick() {
    LoadLastValues();
}

void TQevProgrammerForm::UpdateWriteButton() {
    ui->WriteBtn->setEnabled(qev::WriteButtonEnabled(
        ui->TabSheetMain->writeButtonInput(m_link->current().programmingAllowed)));
}

void TQevProgrammerForm::RevalidateEntries() {
    ui->TabSheetMain->RevalidateEntries();
}

// ---- Search and identification ----

void TQevProgrammerForm::StartSearchProgress() {
    ui->pbSuche->setValue(0);
    ui->pbSuche->show();
    tmrSuche->start();
}

void TQevProgrammerForm::StopSearchProgress() {
    ui->pbSuche->hide();
    tmrSuche->stop();
}

void TQevProgrammerForm::tmrSucheTimer() {
    constexpr int step = 2;
    const int next = ui->pbSuche->value() + step;
    ui->pbSuche->setValue(next > ui->pbSuche->maximum() ? 0 : next);
}

void TQevProgrammerForm::btnSucheClick() {
    const Busy busy(this);
    Ui::NetworkPage &n = networkPage();
    ui->btnSuche->setEnabled(false);
    ui->btnDirekt->setEnabled(false);
    ui->btnSteckbrief->setEnabled(false);
    ui->WriteBtn->setEnabled(false);
    ui->TabSheetMain->clearFoundFields();

    m_status->setLed(LedColour::Yellow, true, true);
    SetStatusText(QString());
    HideAllPages();
    ShowPage(ui->TabSheetMain);

    StartSearchProgress();
    // However the search ends, the buttons come back and the progress stops.
    const auto done = qScopeGuard([this] {
        StopSearchProgress();
        networkPage().dxMaskEdit8->setEnabled(true);
        ui->btnSuche->setEnabled(true);
        ui->btnDirekt->setEnabled(true);
        ui->btnSteckbrief->setEnabled(true);
    });

    FlowView view(this, true);
    const qev::flow::Searched searched = qev::flow::Search(*m_link, searchOptions(), view);
    showIdentified(searched.identified);

    StopSearchProgress();
    n.gbNeuProgrammieren->setEnabled(true);
    if (searched.found.count == 0)
        n.dxMaskEdit8->setText(MessageText(IDS_114));
}

void TQevProgrammerForm::IdentifyDevice(const QString &address, const QString &netmask,
                                        const qev::MacBytes &mac, quint16 port, int count,
                                        bool nothingFound) {
    FlowView view(this);
    const qev::DeviceRecord device{address, netmask, mac, port};
    showIdentified(
        qev::flow::Identify(*m_link, {device, count, nothingFound}, ui->Label29->text(), view));
}

void TQevProgrammerForm::showFound(const qev::DeviceRecord &device,
                                   const qev::FoundPresentation &shown) {
    ui->TabSheetMain->showFound(device, shown, ui->Label29->text());
    if (shown.led == qev::Led::Good)
        m_status->setLed(LedColour::Green, false, true);
    else
        m_status->setLed(LedColour::Red, true, true);
    SetStatusText(messageText(shown.status));
}

void TQevProgrammerForm::showIdentified(const qev::flow::Identified &identified) {
    Ui::NetworkPage &n = networkPage();
    if (identified.outcome == qev::flow::Outcome::NoDevice) {
        if (identified.messageId != 0)
            ShowNoAnswer();
        ui->TabSheetMain->showNoDevice();
        n.gbNeuProgrammieren->setVisible(true);
        return;
    }

    const qev::IdentificationResult &result = identified.identification;
    if (result.dispatch)
        applyDispatch(*result.dispatch);
    else
        n.dxMaskEdit8->setText(MessageText(IDS_114));
    if (result.noAnswer) {
        m_status->setLed(LedColour::Red, true, true);
        ui->TabSheetFirm->clearInstalledVersion();
        SetStatusText(MessageText(identified.messageId));
    }
    n.gbNeuProgrammieren->setVisible(result.programmingGroupVisible);
    if (result.serial)
        n.dxMaskEdit10->setText(*result.serial);
}

void TQevProgrammerForm::applyDispatch(const qev::ClassDispatch &d) {
    HideAllPages();
    for (const qev::Page page : d.pages)
        SetPageVisible(PageWidget(page), true);
    ui->TabSheetMain->showClass(d, m_link->current());
    if (d.boosterCaption)
        setPageCaption(ui->TabSheetBooster, QStringLiteral("Booster"));
    for (DevicePage *page : ui->PageControl1->devicePages())
        page->deviceIdentified(m_link->current(), d);
    ui->TabSheetMain->applyPresets(d, m_link->current());
}

// ---- Network programming ----

void TQevProgrammerForm::ProgressTimerTimer() {
    if (ui->ProgressBar2->value() == 0)
        ui->ProgressBar2->show();
    const int next = ui->ProgressBar2->value() + 1;
    ui->ProgressBar2->setValue(next > ui->ProgressBar2->maximum() ? 0 : next);
}

void TQevProgrammerForm::WriteBtnClick() {
    const Busy busy(this);
    // The texts are taken now: the waits of the flow let the user edit the fields.
    const qev::flow::NetworkProgramming input{ui->TabSheetMain->newSettings(),
                                              networkPage().dxMaskEdit2->text()};

    FlowView view(this);
    const auto done = qScopeGuard([this, &view] {
        if (!view.started())
            return;
        ProgressTimer->stop();
        ui->ProgressBar2->setValue(0);
        ui->ProgressBar2->hide();
        networkPage().btnLastValue->show();
    });
    qev::flow::Programmed programmed;
    try {
        programmed = qev::flow::ProgramNetwork(*m_link, input, searchOptions(), qev::Ping, view);
    } catch (...) {
        // The error display shows why; the user may try again.
        if (!view.sent())
            UpdateWriteButton();
        throw;
    }
    if (!view.started())
        return;
    m_arpList = programmed.arpMacs;
    if (programmed.outcome == qev::flow::Outcome::Done) {
        showIdentified(programmed.identified);
    } else {
        m_status->setLed(LedColour::Red, true, true);
        SetStatusText(MessageText(programmed.messageId));
        UpdateWriteButton();
    }
}

// ---- Manual selection ----

void TQevProgrammerForm::btnDirektClick() {
    ShowPage(ui->TabSheetSelectController);
    SetPageVisible(ui->TabSheetMain, false);
}

void TQevProgrammerForm::btnControllerAbortClick() {
    ShowPage(ui->TabSheetMain);
    SetPageVisible(ui->TabSheetSelectController, false);
    ui->TabSheetSelectController->restoreButtons();
}

void TQevProgrammerForm::btnControllerOkClick() {
    const Busy busy(this);
    Ui::NetworkPage &n = networkPage();
    const int index = ui->TabSheetSelectController->selectedIndex();
    const QString searchAddress = ui->TabSheetSelectController->searchAddress();

    ResetNetworkPage();
    const qev::ManualChoice choice = qev::ManualSelection(index);
    n.dxMaskEdit8->setText(choice.foundText);
    for (const int item : choice.deviceTypeSteps)
        ui->TabSheetMain->setDeviceType(item);
    n.dxMaskEdit8->setEnabled(true);

    ui->btnSuche->setEnabled(false);
    StartSearchProgress();
    const auto done = qScopeGuard([this] {
        StopSearchProgress();
        ui->btnSuche->setEnabled(true);
    });

    FlowView view(this);
    const qev::flow::Searched searched =
        qev::flow::SelectManually(*m_link, index, searchAddress, searchOptions(), view);
    if (searched.identified.outcome != qev::flow::Outcome::NoDevice) {
        showIdentified(searched.identified);
        n.gbNeuProgrammieren->setEnabled(true);
    } else {
        ClearFoundFields();
        ResetNetworkPage();
        ShowNoDevice();
    }
}
