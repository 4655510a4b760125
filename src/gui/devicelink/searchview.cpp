#include "searchview.h"

#include "app/errordisplay.h"
#include "app/messagetext.h"
#include "app/pagecontrol.h"
#include "app/statusline.h"
#include "devicelink/networkpage.h"
#include "devicelink/selectcontrollerpage.h"
#include "firmware/firmwarepage.h"
#include "pages/devicepage.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

namespace {

QString messageText(const qev::ComposedText &text) {
    return qev::ComposeText(text, [](int id) { return MessageText(id); });
}

} // namespace

// Renders what the flows tell while they run, and puts their questions to the user.
class SearchView::FlowView final : public qev::flow::ProgrammingProgress {
public:
    // waitCursor: the hour-glass shows while the search collects its answers.
    explicit FlowView(SearchView *view, bool waitCursor = false)
        : m_view(view)
        , m_waitCursor(waitCursor) {}

    void progress(int step, int, int messageId) override {
        SearchView &f = *m_view;
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
            f.m_ui.WriteBtn->setEnabled(false);
            f.ProgressTimer->start();
            f.m_ui.status.switchOff();
            break;
        case qev::flow::ProgrammingSent:
            m_sent = true;
            f.m_ui.saveLastValues();
            break;
        case qev::flow::ProgrammingReachable:
            f.m_ui.status.setLed(LedColour::Green, false, true);
            f.m_ui.status.setText(MessageText(messageId));
            break;
        default:
            break;
        }
    }
    void found(const qev::DeviceRecord &device, const qev::FoundPresentation &shown) override {
        m_view->showFound(device, shown);
    }
    bool confirm(const qev::Confirmation &question) override {
        return m_view->m_ui.ask(MessageText(question.captionId), messageText(question.text));
    }
    void datagramBuilt(const qev::NetSettingsDatagram &datagram) override {
        m_view->m_ui.TabSheetMain->setPortText(datagram.portText);
    }

    bool started() const { return m_started; }
    bool sent() const { return m_sent; }

private:
    SearchView *m_view;
    bool m_waitCursor;
    bool m_started = false;
    bool m_sent = false;
};

SearchView::SearchView(Window window)
    : QObject(window.parent)
    , m_ui(std::move(window)) {
    tmrSuche = new QTimer(this);
    tmrSuche->setObjectName(QStringLiteral("tmrSuche"));
    tmrSuche->setInterval(20);
    ProgressTimer = new QTimer(this);
    ProgressTimer->setObjectName(QStringLiteral("ProgressTimer"));
    ProgressTimer->setInterval(70);

    // Under the window's error display, as every handler of the window.
    const auto guarded = [this](void (SearchView::*handler)()) {
        return [this, handler] {
            RunGuarded(m_ui.parent, [this, handler] { (this->*handler)(); });
        };
    };
    connect(m_ui.TabSheetMain, &NetworkPage::writeButtonInputChanged, this,
            guarded(&SearchView::UpdateWriteButton));
    connect(tmrSuche, &QTimer::timeout, this, guarded(&SearchView::tmrSucheTimer));
    connect(ProgressTimer, &QTimer::timeout, this, guarded(&SearchView::ProgressTimerTimer));
}

QList<QPushButton *> SearchView::savedStateButtons() const {
    return {m_ui.btnSuche, m_ui.WriteBtn, m_ui.btnDirekt, m_ui.btnSteckbrief};
}

void SearchView::ShowNoDevice() {
    m_ui.status.showNoAnswer();
    m_ui.TabSheetMain->ui.dxMaskEdit8->setText(MessageText(IDS_114));
    m_ui.TabSheetMain->ui.dxMaskEdit8->setEnabled(true);
}

void SearchView::PrefillNewIP() {
    m_ui.TabSheetMain->PrefillNewIP(m_ui.Label29->text());
}

void SearchView::ResetNetworkPage() {
    m_ui.PageControl1->showPage(m_ui.TabSheetMain);
    m_ui.PageControl1->setPageVisible(m_ui.TabSheetSelectController, false);
    Ui::NetworkPage &n = m_ui.TabSheetMain->ui;
    n.gbNeuProgrammieren->setEnabled(true);
    for (QPushButton *button : savedStateButtons())
        button->setEnabled(true);
    n.dxMaskEdit8->setEnabled(true);
    n.dxIPNeu->clear();
    PrefillNewIP();
}

void SearchView::setIdentification(std::optional<qev::IdentificationResult> identification) {
    m_identification = std::move(identification);
    Q_EMIT identificationChanged();
}

void SearchView::ClearFoundFields() {
    setIdentification(std::nullopt);
    m_ui.TabSheetMain->clearFoundFields();
    m_ui.PageControl1->hideAllPages();
    qev::CurrentDevice device = m_ui.link.current();
    device.deviceClass = 0;
    m_ui.link.setCurrent(device);
}

void SearchView::UpdateWriteButton() {
    m_ui.WriteBtn->setEnabled(qev::WriteButtonEnabled(
        m_ui.TabSheetMain->writeButtonInput(m_ui.link.current().programmingAllowed)));
}

// ---- Search and identification ----

void SearchView::StartSearchProgress() {
    m_ui.pbSuche->setValue(0);
    m_ui.pbSuche->show();
    tmrSuche->start();
}

void SearchView::StopSearchProgress() {
    m_ui.pbSuche->hide();
    tmrSuche->stop();
}

void SearchView::tmrSucheTimer() {
    constexpr int step = 2;
    const int next = m_ui.pbSuche->value() + step;
    m_ui.pbSuche->setValue(next > m_ui.pbSuche->maximum() ? 0 : next);
}

void SearchView::btnSucheClick() {
    Ui::NetworkPage &n = m_ui.TabSheetMain->ui;
    m_ui.btnSuche->setEnabled(false);
    m_ui.btnDirekt->setEnabled(false);
    m_ui.btnSteckbrief->setEnabled(false);
    m_ui.WriteBtn->setEnabled(false);
    setIdentification(std::nullopt);
    m_ui.TabSheetMain->clearFoundFields();

    m_ui.status.setLed(LedColour::Yellow, true, true);
    m_ui.status.setText(QString());
    m_ui.PageControl1->hideAllPages();
    m_ui.PageControl1->showPage(m_ui.TabSheetMain);

    StartSearchProgress();
    // However the search ends, the buttons come back and the progress stops.
    const auto done = qScopeGuard([this] {
        StopSearchProgress();
        m_ui.TabSheetMain->ui.dxMaskEdit8->setEnabled(true);
        m_ui.btnSuche->setEnabled(true);
        m_ui.btnDirekt->setEnabled(true);
        m_ui.btnSteckbrief->setEnabled(true);
    });

    FlowView view(this, true);
    const qev::flow::Searched searched = qev::flow::Search(m_ui.link, m_ui.searchOptions(), view);
    showIdentified(searched.identified);

    StopSearchProgress();
    n.gbNeuProgrammieren->setEnabled(true);
    if (searched.found.count == 0)
        n.dxMaskEdit8->setText(MessageText(IDS_114));
}

void SearchView::IdentifyDevice(const QString &address, const QString &netmask,
                                const qev::MacBytes &mac, quint16 port, int count,
                                bool nothingFound) {
    FlowView view(this);
    const qev::DeviceRecord device{address, netmask, mac, port};
    showIdentified(
        qev::flow::Identify(m_ui.link, {device, count, nothingFound}, m_ui.Label29->text(), view));
}

void SearchView::showFound(const qev::DeviceRecord &device, const qev::FoundPresentation &shown) {
    m_ui.TabSheetMain->showFound(device, shown, m_ui.Label29->text());
    if (shown.led == qev::Led::Good)
        m_ui.status.setLed(LedColour::Green, false, true);
    else
        m_ui.status.setLed(LedColour::Red, true, true);
    m_ui.status.setText(messageText(shown.status));
}

void SearchView::showIdentified(const qev::flow::Identified &identified) {
    Ui::NetworkPage &n = m_ui.TabSheetMain->ui;
    const qev::IdentificationResult &result = identified.identification;
    setIdentification(identified.outcome == qev::flow::Outcome::Done && result.dispatch
                          ? std::optional(result)
                          : std::nullopt);
    if (identified.outcome == qev::flow::Outcome::NoDevice) {
        if (identified.messageId != 0)
            m_ui.status.showNoAnswer();
        m_ui.TabSheetMain->showNoDevice();
        n.gbNeuProgrammieren->setVisible(true);
        return;
    }

    if (result.dispatch)
        applyDispatch(*result.dispatch);
    else
        n.dxMaskEdit8->setText(MessageText(IDS_114));
    if (result.noAnswer) {
        m_ui.status.setLed(LedColour::Red, true, true);
        m_ui.TabSheetFirm->clearInstalledVersion();
        m_ui.status.setText(MessageText(identified.messageId));
    }
    n.gbNeuProgrammieren->setVisible(result.programmingGroupVisible);
    if (result.serial)
        n.dxMaskEdit10->setText(*result.serial);
}

void SearchView::applyDispatch(const qev::ClassDispatch &d) {
    m_ui.PageControl1->hideAllPages();
    for (const qev::Page page : d.pages)
        m_ui.PageControl1->setPageVisible(m_ui.PageControl1->widget(static_cast<int>(page)), true);
    m_ui.TabSheetMain->showClass(d, m_ui.link.current());
    if (d.boosterCaption)
        m_ui.PageControl1->setPageCaption(m_ui.TabSheetBooster, QStringLiteral("Booster"));
    for (DevicePage *page : m_ui.PageControl1->devicePages())
        page->deviceIdentified(m_ui.link.current(), d);
    m_ui.TabSheetMain->applyPresets(d, m_ui.link.current());
}

std::optional<qev::IdentificationResult> SearchView::IdentifyAgain() {
    const bool inPcNetwork = qev::InPcNetwork(m_ui.Label29->text(), m_ui.link.current().host);
    const qev::IdentificationResult result = qev::IdentifyExchange(m_ui.link, inPcNetwork);
    if (!result.dispatch || result.noAnswer) {
        m_ui.status.showNoAnswer();
        return std::nullopt;
    }
    // Not applyDispatch: that would hide the page the user is on and read it afresh.
    m_ui.TabSheetMain->showClass(*result.dispatch, m_ui.link.current());
    for (DevicePage *page : m_ui.PageControl1->devicePages())
        page->deviceIdentified(m_ui.link.current(), *result.dispatch);
    if (result.serial)
        m_ui.TabSheetMain->ui.dxMaskEdit10->setText(*result.serial);
    setIdentification(result);
    return result;
}

// ---- Network programming ----

void SearchView::ProgressTimerTimer() {
    if (m_ui.ProgressBar2->value() == 0)
        m_ui.ProgressBar2->show();
    const int next = m_ui.ProgressBar2->value() + 1;
    m_ui.ProgressBar2->setValue(next > m_ui.ProgressBar2->maximum() ? 0 : next);
}

void SearchView::WriteBtnClick() {
    // The texts are taken now: the waits of the flow let the user edit the fields.
    const qev::flow::NetworkProgramming input{m_ui.TabSheetMain->newSettings(),
                                              m_ui.TabSheetMain->ui.dxMaskEdit2->text()};

    FlowView view(this);
    const auto done = qScopeGuard([this, &view] {
        if (!view.started())
            return;
        ProgressTimer->stop();
        m_ui.ProgressBar2->setValue(0);
        m_ui.ProgressBar2->hide();
        m_ui.TabSheetMain->ui.btnLastValue->show();
    });
    qev::flow::Programmed programmed;
    try {
        programmed =
            qev::flow::ProgramNetwork(m_ui.link, input, m_ui.searchOptions(), m_ui.ping, view);
    } catch (...) {
        // The error display shows why; the user may try again.
        if (!view.sent())
            UpdateWriteButton();
        throw;
    }
    if (view.started())
        ShowProgrammed(programmed);
}

void SearchView::ShowProgrammed(const qev::flow::Programmed &programmed) {
    m_ui.arpList = programmed.arpMacs;
    if (programmed.outcome == qev::flow::Outcome::Done) {
        showIdentified(programmed.identified);
    } else {
        m_ui.status.setLed(LedColour::Red, true, true);
        m_ui.status.setText(MessageText(programmed.messageId));
        UpdateWriteButton();
    }
}

// ---- Manual selection ----

void SearchView::btnControllerOkClick() {
    Ui::NetworkPage &n = m_ui.TabSheetMain->ui;
    const int index = m_ui.TabSheetSelectController->selectedIndex();
    const QString searchAddress = m_ui.TabSheetSelectController->searchAddress();

    ResetNetworkPage();
    const qev::ManualChoice choice = qev::ManualSelection(index);
    n.dxMaskEdit8->setText(choice.foundText);
    for (const int item : choice.deviceTypeSteps)
        m_ui.TabSheetMain->setDeviceType(item);
    n.dxMaskEdit8->setEnabled(true);

    m_ui.btnSuche->setEnabled(false);
    StartSearchProgress();
    const auto done = qScopeGuard([this] {
        StopSearchProgress();
        m_ui.btnSuche->setEnabled(true);
    });

    FlowView view(this);
    const qev::flow::Searched searched =
        qev::flow::SelectManually(m_ui.link, index, searchAddress, m_ui.searchOptions(), view);
    if (searched.identified.outcome != qev::flow::Outcome::NoDevice) {
        showIdentified(searched.identified);
        n.gbNeuProgrammieren->setEnabled(true);
    } else {
        ClearFoundFields();
        ResetNetworkPage();
        ShowNoDevice();
    }
}
