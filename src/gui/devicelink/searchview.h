#pragma once

// The device flows of the network page as the window shows them: the search, the
// identification of a found device, the manual selection and the network programming. It
// calls the flows and renders their progress and results into the network page, the status
// line, the two progress bars, the page tabs and the window's traffic buttons. The window
// marks the link busy around each handler.

#include "devicelink/devicelink.h"
#include "devicelink/identification.h"
#include "flows/netprogramming.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class FirmwarePage;
class NetworkPage;
class PageControl;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;
class SelectControllerPage;
class StatusLine;

namespace qev {
struct ClassDispatch;
}

class SearchView : public QObject {
    Q_OBJECT
public:
    // What the view needs from the window; the widgets carry the window's object names.
    struct Window {
        qev::DeviceLink &link;
        StatusLine &status;
        PageControl *PageControl1;
        NetworkPage *TabSheetMain;
        SelectControllerPage *TabSheetSelectController;
        FirmwarePage *TabSheetFirm;
        QWidget *TabSheetBooster;
        QPushButton *btnSuche;
        QPushButton *WriteBtn;
        QPushButton *btnDirekt;
        QPushButton *btnSteckbrief;
        QProgressBar *pbSuche;
        QProgressBar *ProgressBar2;
        const QLabel *Label29; // the PC's address
        // The PC's ARP list, renewed by a network programming.
        QStringList &arpList;
        std::function<qev::flow::SearchOptions()> searchOptions;
        qev::PingFunction ping;
        // A modal yes/no question; true for yes.
        std::function<bool(const QString &caption, const QString &text)> ask;
        // Keeps the values of a programming for "Letzte Werte".
        std::function<void()> saveLastValues;
        QWidget *parent;
    };

    explicit SearchView(Window window);

    // The handlers of btnSuche, WriteBtn and btnControllerOk.
    void btnSucheClick();
    void WriteBtnClick();
    void btnControllerOkClick();

    // Makes a found device the current device.
    void IdentifyDevice(const QString &address, const QString &netmask, const qev::MacBytes &mac,
                        quint16 port, int count, bool nothingFound);

    void ResetNetworkPage();
    void ShowNoDevice();
    // The buttons whose state the manual selection keeps while it is shown.
    QList<QPushButton *> savedStateButtons() const;

    // What the current device reported when it was identified; none while no device
    // answered the identification.
    const std::optional<qev::IdentificationResult> &identification() const {
        return m_identification;
    }
    // Asks the current device again who it is (its version changes with a firmware
    // installation) and shows what it reports; the pages shown stay as they are. None when
    // it does not answer.
    std::optional<qev::IdentificationResult> IdentifyAgain();
    // A found device before it is asked anything (also at its new address after a network
    // programming).
    void showFound(const qev::DeviceRecord &device, const qev::FoundPresentation &shown);
    // A network programming's end: the device at its new address, or why not.
    void ShowProgrammed(const qev::flow::Programmed &programmed);

Q_SIGNALS:
    void identificationChanged();

private:
    class FlowView;

    void StartSearchProgress();
    void StopSearchProgress();
    void tmrSucheTimer();
    void ProgressTimerTimer();
    void ClearFoundFields();
    void UpdateWriteButton();
    void PrefillNewIP();
    void showIdentified(const qev::flow::Identified &identified);
    void applyDispatch(const qev::ClassDispatch &dispatch);
    void setIdentification(std::optional<qev::IdentificationResult> identification);

    Window m_ui;
    std::optional<qev::IdentificationResult> m_identification;
    QTimer *tmrSuche = nullptr;
    QTimer *ProgressTimer = nullptr;
};
