#include "firmware/firmwarepage.h"

#include "app/messagetext.h"
#include "devicelink/devicelink.h"
#include "flows/firmware.h"
#include "netinspect/deviceclass.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>

namespace {

constexpr quint8 BoosterGatewayClass = 27;

// The page's texts live in the context of its form.
QString pageText(const char *text) {
    return QCoreApplication::translate("FirmwarePage", text);
}

QString chooseImageFile(QWidget *parent) {
    QFileDialog dialog(parent, pageText(QT_TRANSLATE_NOOP("FirmwarePage", "Firmware auswählen")));
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setNameFilter(QStringLiteral("Image (*.snFirm)"));
    dialog.setDefaultSuffix(QStringLiteral("snSig"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

FirmwarePage::FirmwarePage(QWidget *parent)
    : FormDevicePage<Ui::FirmwarePage>(parent)
    , m_chooser(chooseImageFile) {
    m_fileButton = ui.dxButtonEdit1->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                               QLineEdit::TrailingPosition);
    m_fileButton->setObjectName(QStringLiteral("dxButtonEdit1Button"));
    setRunTimeTexts();
    for (QLabel *label : {ui.Label30, ui.Label31, ui.Label32, ui.Label33, ui.Label34, ui.Label35,
                          ui.lbNoComeback, ui.lbAccessRefused})
        label->hide();
    ui.ProgressBar1->hide();

    const auto guarded = [this](void (FirmwarePage::*handler)()) {
        return [this, handler] {
            DevicePage::guarded([this, handler] { (this->*handler)(); });
        };
    };
    connect(m_fileButton, &QAction::triggered, this,
            guarded(&FirmwarePage::dxButtonEdit1ButtonClick));
    connect(ui.dxButtonEdit1, &QLineEdit::textChanged, this,
            guarded(&FirmwarePage::dxButtonEdit1Change));
    connect(ui.btnUpdateFile, &QPushButton::clicked, this,
            guarded(&FirmwarePage::btnUpdateFileClick));
    connect(ui.btnInstallFirmware, &QPushButton::clicked, this,
            guarded(&FirmwarePage::btnInstallFirmwareClick));
}

void FirmwarePage::setRunTimeTexts() {
    m_fileButton->setText(pageText(QT_TRANSLATE_NOOP("FirmwarePage", "Datei wählen")));
    ui.PageControl2->setAccessibleName(pageText(QT_TRANSLATE_NOOP("FirmwarePage", "Firmware")));
    ui.ProgressBar1->setAccessibleName(pageText(QT_TRANSLATE_NOOP("FirmwarePage", "Fortschritt")));
    if (m_phaseId != 0)
        ui.Label32->setText(MessageText(m_phaseId));
    if (m_counterBlock == 0)
        ui.Label33->clear();
    else if (m_counterBlock > 0)
        ui.Label33->setText(QStringLiteral("%1 %2 %3")
                                .arg(m_counterBlock)
                                .arg(MessageText(IDS_122))
                                .arg(m_counterCount));
    ui.Label35->setText(
        pageText(QT_TRANSLATE_NOOP("FirmwarePage", "Abbruch: Fehler bei Datenübertragung")) +
        m_transferSuffix);
}

void FirmwarePage::showPhase(int messageId) {
    m_phaseId = messageId;
    setRunTimeTexts();
}

void FirmwarePage::showCounter(int block, int blockCount) {
    m_counterBlock = block;
    m_counterCount = blockCount;
    setRunTimeTexts();
}

void FirmwarePage::setFileChooser(FileChooser chooser) {
    m_chooser = std::move(chooser);
}

void FirmwarePage::setInstallTiming(const qev::InstallTiming &timing) {
    m_timing = timing;
}

void FirmwarePage::setInstallHooks(InstallHooks hooks) {
    m_hooks = std::move(hooks);
}

quint8 FirmwarePage::currentClass() const {
    return attached() ? host().link().current().deviceClass : 0;
}

void FirmwarePage::deviceIdentified(const qev::CurrentDevice &device,
                                    const qev::ClassDispatch &dispatch) {
    switch (dispatch.version) {
    case qev::VersionDisplay::Shown:
        ui.lbFirmware->setText(device.versionText());
        break;
    case qev::VersionDisplay::Cleared:
        clearInstalledVersion();
        break;
    case qev::VersionDisplay::Unchanged:
        break;
    }
}

void FirmwarePage::clearInstalledVersion() {
    ui.lbFirmware->clear();
}

void FirmwarePage::TabSheetFirmShow() {
    // The end of an installation shows the network tab again; that is no page change.
    if (m_installing)
        return;
    for (QLabel *label : {ui.Label30, ui.Label31, ui.Label32, ui.Label34, ui.Label35,
                          ui.lbNoComeback, ui.lbAccessRefused})
        label->hide();
    // Label34 and Label35 share the place of Label30, gbUpdateAuto that of gbUpdateManuell
    // (one cell of their layouts).
    ui.PageControl2->setTabVisible(ui.PageControl2->indexOf(ui.TabSheet2),
                                   currentClass() == BoosterGatewayClass);
    ui.PageControl2->setTabVisible(ui.PageControl2->indexOf(ui.TabSheet3), false);
    ui.gbUpdateAuto->show();
    ui.gbUpdateManuell->hide();
}

void FirmwarePage::btnUpdateFileClick() {
    ui.gbUpdateAuto->hide();
    ui.gbUpdateManuell->show();
}

void FirmwarePage::dxButtonEdit1ButtonClick() {
    ui.Label104->clear();
    ui.Label105->clear();
    const QString path = m_chooser ? m_chooser(this) : QString();
    if (path.isEmpty())
        return;
    m_chosenFile = path;
    {
        // The change handler runs once, also when the same file is chosen again.
        const QSignalBlocker block(ui.dxButtonEdit1);
        ui.dxButtonEdit1->setText(QFileInfo(path).fileName());
    }
    dxButtonEdit1Change();
    ui.Label30->setVisible(!ImageFitsDevice(m_chosenFile));
    ui.btnInstallFirmware->setEnabled(ui.Label30->isHidden());
}

void FirmwarePage::dxButtonEdit1Change() {
    const QString name = ui.dxButtonEdit1->text();
    if (name.isEmpty() || m_chosenFile.isEmpty() || QFileInfo(m_chosenFile).fileName() != name)
        return;
    if (QFileInfo(m_chosenFile).isFile())
        ShowImageHeader(m_chosenFile);
}

void FirmwarePage::ShowImageHeader(const QString &file) {
    const std::optional<qev::ImageHeaderText> header =
        qev::flow::InspectFirmware(file, currentClass()).header;
    if (!header)
        return;
    ui.Label105->setText(header->date);
    ui.Label104->setText(header->version);
    ui.Label109->setText(qev::DeviceClassName(header->classTag));
}

bool FirmwarePage::ImageFitsDevice(const QString &file) const {
    return qev::flow::InspectFirmware(file, currentClass()).fits;
}

void FirmwarePage::prepareInstallation(int blockCount) {
    host().setPageVisible(qev::Page::TabSheetMain, false);
    for (QLabel *label : {ui.Label30, ui.Label34, ui.Label35, ui.lbNoComeback, ui.lbAccessRefused})
        label->hide();
    host().setWindowButtonsEnabled(false);
    ui.Label31->show();
    ui.Label32->show();
    ui.Label33->show();
    ui.ProgressBar1->setMaximum(blockCount);
    ui.ProgressBar1->setValue(0);
    ui.ProgressBar1->show();
    host().clearStatus();
    m_transferSuffix.clear();
    // Nothing may start this installation a second time while it runs.
    ui.btnInstallFirmware->setEnabled(false);
}

void FirmwarePage::endInstallation(const qev::InstallResult &result) {
    switch (result.errorLabel) {
    case qev::ErrorLabel::None:
        break;
    case qev::ErrorLabel::FileCorrupt:
        ui.Label34->show();
        break;
    case qev::ErrorLabel::TransferError:
        m_transferSuffix = result.errorSuffix;
        setRunTimeTexts();
        ui.Label35->show();
        break;
    case qev::ErrorLabel::NoComeback:
        ui.lbNoComeback->show();
        break;
    case qev::ErrorLabel::AccessRefused:
        ui.lbAccessRefused->show();
        break;
    }
    if (result.failureIndication)
        host().showOutcome(false);
    if (result.beep)
        QApplication::beep();
    if (result.clearFileField)
        ui.dxButtonEdit1->clear();
    host().setWindowButtonsEnabled(true);
    // "Status: Start" under the refusal would tell the user the installation is under way.
    const bool statusShown = !result.failed && result.errorLabel != qev::ErrorLabel::AccessRefused;
    ui.Label31->setVisible(statusShown);
    ui.Label32->setVisible(statusShown);
    ui.Label33->hide();
    ui.ProgressBar1->hide();
    host().setPageVisible(qev::Page::TabSheetMain, true);
    ui.btnInstallFirmware->setEnabled(result.installEnabled);
}

void FirmwarePage::btnInstallFirmwareClick() {
    if (!attached() || m_installing)
        return;
    const qev::InstallResult result = install();
    if (m_hooks.after)
        m_hooks.after(result.outcome == qev::InstallOutcome::Finished);
}

qev::InstallResult FirmwarePage::install() {
    qev::DeviceLink &link = host().link();
    // The buttons of the window stay off between the exchanges too.
    const qev::DeviceLink::Busy busy(link);
    const int blockCount = qev::BlockCountOfClass(link.current().deviceClass);
    m_installing = true;
    prepareInstallation(blockCount);

    qev::InstallResult result = qev::ConcludeInstall(qev::InstallOutcome::LinkFailed);
    // Whatever ends the installation, the window comes back.
    struct Restore {
        FirmwarePage *page;
        const qev::InstallResult *result;
        ~Restore() {
            page->endInstallation(*result);
            page->m_installing = false;
        }
    } restore{this, &result};

    qev::InstallObserver observer;
    observer.phase = [this](int id) {
        showPhase(id);
    };
    observer.counter = [this](int k, int n) {
        showCounter(k, n);
    };
    observer.progress = [this](int position, int maximum) {
        ui.ProgressBar1->setMaximum(maximum);
        ui.ProgressBar1->setValue(position);
    };
    observer.pump = [] {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    };
    if (m_hooks.before)
        m_hooks.before();
    result = qev::flow::InstallFirmware(link, m_chosenFile, observer, m_timing);
    if (result.outcome == qev::InstallOutcome::LinkFailed)
        throw qev::LinkError(result.linkError.toStdString());
    return result;
}
