#pragma once

#include "app/statusline.h"
#include "devicelink/classdispatch.h"
#include "devicelink/currentdevice.h"
#include "devicelink/devicelink.h"
#include "devicelink/protocol.h"
#include "devicelink/selection.h"
#include "flows/netprogramming.h"
#include "pages/pagehost.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;
class BackupView;
class FlagHint;
class ReportRun;
class SearchView;
class TALed;

namespace qev {
class DeviceLink;
} // namespace qev

namespace Ui {
class TQevProgrammerForm;
class NetworkPage;
class SelectControllerPage;
} // namespace Ui

// The main window: owns every piece of state of a run, and hosts the pages.
class TQevProgrammerForm : public QMainWindow, public PageHost {
    Q_OBJECT
public:
    // A modal yes/no question; true for yes. Tests answer it themselves.
    using Confirmation = std::function<bool(const QString &caption, const QString &text)>;

    // settingsFile: where the values of the last network programming are kept. ports: the
    // protocol's ports (tests that run side by side move them). openSocket: the link's client
    // (tests hand in a scripted one).
    explicit TQevProgrammerForm(const QString &settingsFile, const qev::ProtocolPorts &ports = {},
                                QWidget *parent = nullptr,
                                qev::SocketFactory openSocket = qev::openUdpSocket);
    ~TQevProgrammerForm() override;

    void setConfirmation(Confirmation confirmation);
    void setDevicePicker(qev::DevicePicker picker);

    qev::DeviceLink &link() const { return *m_link; }

    // What the pages may ask of the window.
    qev::DeviceLink &link() override { return *m_link; }
    void showOutcome(bool accepted) override;
    void showNoDevice() override;
    int deviceTypeItem() const override;
    void setPageCaption(QWidget *page, const QString &caption) override;
    void setPageVisible(qev::Page page, bool visible) override;
    bool confirm(const QString &caption, const QString &text) override;
    BoosterBus &boosterBus() override;
    void clearStatus() override { m_status->clear(); }
    void setWindowButtonsEnabled(bool enabled) override;
    const QString &settingsFile() const { return m_settingsFile; }

    // Set while the PC has no usable IPv4 address.
    bool NoNetwork() const { return m_noNetwork; }
    // The active language: 1 German, 2 English, 3 Dutch.
    int Language() const { return m_language; }

    // Status panel 1.
    QString StatusText() const { return m_status->text(); }
    void SetStatusText(const QString &text) { m_status->setText(text); }
    TALed &Led() const;

    // The outcome indications every exchange with a device ends with.
    void ShowCommandAccepted() { m_status->showCommandAccepted(); }
    void ShowNoAnswer() { m_status->showNoAnswer(); }

    void HideAllPages();
    QWidget *PageWidget(qev::Page page) const;
    // Makes a page's tab shown or hidden, or a page the active one, without the rules of a
    // page change by the user.
    void SetPageVisible(QWidget *page, bool visible);
    void ShowPage(QWidget *page);

    void LoadLastValues();
    void SaveLastValues();

    // Checks the PC's network; runs each time the window becomes active. Resets the
    // network page only at the first check and when the PC's address changed.
    void FormActivate();

    // Makes a found device the current device.
    void IdentifyDevice(const QString &address, const QString &netmask, const qev::MacBytes &mac,
                        quint16 port, int count, bool nothingFound);

    // Re-checks the four address entries (after a language switch).
    void RevalidateEntries();

    // The PC's ARP list, as plain hex texts.
    const QStringList &ArpList() const { return m_arpList; }

    // The run of "Liste drucken".
    ReportRun &reportRun() const { return *m_report; }
    // "Einstellungen sichern…" and "Einstellungen wiederherstellen…".
    BackupView &backupView() const { return *m_backup; }

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Exchanges in progress: the window's activation does not reset the page meanwhile.
    class Busy;

    void setUpWindow();
    void setUpPictures();
    void setUpAccessibleNames();
    void attachPages();
    // While the link is busy, nothing that starts other traffic can be pressed.
    void linkBusyChanged(bool busy);
    void connectHandlers();
    // Connects a signal so that the handler runs under the general error display.
    template <class Sender, class Signal, class Handler>
    void onSignal(Sender *sender, Signal signal, Handler handler);

    void changeDevice(const std::function<void(qev::CurrentDevice &)> &change);
    qev::flow::SearchOptions searchOptions();
    qev::EventPump pump() const;
    qev::PingFunction pinger();
    qev::DevicePicker picker();

    // Handlers.
    void btnEndeClick();
    void btnSucheClick();
    void WriteBtnClick();
    void btnLastValueClick();
    void btnDirektClick();
    void btnSteckbriefClick();
    void btnBackupClick();
    void btnRestoreClick();
    void btnControllerOkClick();
    void btnControllerAbortClick();
    void PageControl1Change(int index);
    void ImageLeftDblClick();
    void gbGefundenDblClick();
    // Language flags and the network tips.
    void Image9Click();
    void Image10Click();
    void Image11Click();
    void Image12Click();
    void switchByFlag(int language);
    void showNoNetworkTexts();

    Ui::NetworkPage &networkPage() const;
    Ui::SelectControllerPage &selectPage() const;

    std::unique_ptr<Ui::TQevProgrammerForm> ui;
    std::unique_ptr<qev::DeviceLink> m_link;
    qev::ProtocolPorts m_ports;
    Confirmation m_confirmation;
    BoosterBus *m_boosterBus = nullptr;
    qev::DevicePicker m_picker;
    std::unique_ptr<StatusLine> m_status;
    SearchView *m_search = nullptr;
    QString m_settingsFile;
    QStringList m_arpList;
    bool m_searchDone = false;
    bool m_noNetwork = false;
    int m_language = 1;
    FlagHint *m_hint = nullptr; // made at the first click on Image12
    ReportRun *m_report = nullptr;
    BackupView *m_backup = nullptr;
    int m_busy = 0;
    QWidget *m_lastPage = nullptr;
    bool m_centred = false;
    bool m_activated = false;
};
