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
#include "backup/backupview.h"
#include "devicelink/devicelink.h"
#include "devicelink/networkpage.h"
#include "devicelink/searchview.h"
#include "devicelink/selectipform.h"
#include "firmware/firmwarepage.h"
#include "flows/netprogramming.h"
#include "netinspect/adapters.h"
#include "netinspect/arp.h"
#include "netinspect/ipv4.h"
#include "pages/boosterbus.h"
#include "pages/devicepage.h"
#include "report/reportrun.h"
#include "trace/protokollform.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>

namespace {

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

    // Creation of the window.
    SetStatusText(QStringLiteral("Version: 2.21"));
    setPageCaption(ui->TabSheetBooster, QStringLiteral("Kopla Booster"));
    setPageCaption(ui->TabSheetManager, QStringLiteral("Kopla Manager"));
    attachPages();
    ui->TabSheetMain->setPing(pinger());
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
    m_search = new SearchView({*m_link,
                               *m_status,
                               ui->PageControl1,
                               ui->TabSheetMain,
                               ui->TabSheetSelectController,
                               ui->TabSheetFirm,
                               ui->TabSheetBooster,
                               ui->btnSuche,
                               ui->WriteBtn,
                               ui->btnDirekt,
                               ui->btnSteckbrief,
                               ui->pbSuche,
                               ui->ProgressBar2,
                               ui->Label29,
                               m_arpList,
                               [this] { return searchOptions(); },
                               pinger(),
                               [this](const QString &caption, const QString &text) {
                                   return m_confirmation(caption, text);
                               },
                               [this] { SaveLastValues(); },
                               this});
    m_backup =
        new BackupView({*m_link, *m_status, networkPage().btnBackup, networkPage().btnRestore,
                        ui->PageControl1, *m_search, [this] { return searchOptions(); }, pinger(),
                        [this](const QString &caption, const QString &text) {
                            return m_confirmation(caption, text);
                        },
                        this});
    connect(m_search, &SearchView::identificationChanged, m_backup, &BackupView::updateButtons);
    // Before every installation the device's settings are saved; the window's exchanges
    // afterwards (identification, comparison, the offer to write them back) count as busy.
    ui->TabSheetFirm->setInstallHooks({[this] { m_backup->beforeInstall(); },
                                       [this](bool finished) {
                                           const Busy busy(this);
                                           m_backup->afterInstall(finished);
                                       }});

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

qev::PingFunction TQevProgrammerForm::pinger() {
    // The ping waits on a worker thread while the window keeps answering, and nothing that
    // would start other traffic can be pressed meanwhile.
    return [this](const QString &address, int timeoutMs) {
        const qev::DeviceLink::Busy busy(*m_link);
        return qev::PingWhilePumping(address, timeoutMs, pump());
    };
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
    if (m_backup)
        m_backup->updateButtons();
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

void TQevProgrammerForm::showNoDevice() {
    m_search->ShowNoDevice();
}

// ---- Handlers ----

void TQevProgrammerForm::btnSteckbriefClick() {
    m_report->btnSteckbriefClick();
}

void TQevProgrammerForm::btnBackupClick() {
    const Busy busy(this);
    m_backup->btnBackupClick();
}

void TQevProgrammerForm::btnRestoreClick() {
    const Busy busy(this);
    m_backup->btnRestoreClick();
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
    onSignal(n.btnBackup, &QPushButton::clicked, &TQevProgrammerForm::btnBackupClick);
    onSignal(n.btnRestore, &QPushButton::clicked, &TQevProgrammerForm::btnRestoreClick);
    onSignal(s.btnControllerOk, &QPushButton::clicked, &TQevProgrammerForm::btnControllerOkClick);
    onSignal(s.btnControllerAbort, &QPushButton::clicked,
             &TQevProgrammerForm::btnControllerAbortClick);

    connect(ui->PageControl1, &QTabWidget::currentChanged, this,
            [this](int index) { RunGuarded(this, [this, index] { PageControl1Change(index); }); });

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
            m_search->ResetNetworkPage();
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
        ui->TabSheetSelectController->TabSheetSelectControllerShow(m_search->savedStateButtons(),
                                                                   networkPage().dxIPNeu->text());
    if (ui->PageControl1->programmaticChange())
        return;
    ui->WriteBtn->setEnabled(page == ui->TabSheetMain);
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

void TQevProgrammerForm::RevalidateEntries() {
    ui->TabSheetMain->RevalidateEntries();
}

// ---- Search, network programming and manual selection ----

void TQevProgrammerForm::btnSucheClick() {
    const Busy busy(this);
    m_search->btnSucheClick();
}

void TQevProgrammerForm::IdentifyDevice(const QString &address, const QString &netmask,
                                        const qev::MacBytes &mac, quint16 port, int count,
                                        bool nothingFound) {
    m_search->IdentifyDevice(address, netmask, mac, port, count, nothingFound);
}

void TQevProgrammerForm::WriteBtnClick() {
    const Busy busy(this);
    m_search->WriteBtnClick();
}

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
    m_search->btnControllerOkClick();
}
