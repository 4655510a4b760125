#include "firmware/firmwarepage.h"

#include "app/aled.h"
#include "app/devicecodes.h"
#include "app/errordisplay.h"
#include "app/messagetext.h"
#include "app/qevprogrammerform.h"
#include "devicelink/devicelink.h"
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

// The buttons that would start other traffic on the link.
const char *const TrafficButtons[] = {"btnSuche", "btnDirekt", "btnSteckbrief", "btnEnde"};

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
    : FormPage<Ui::FirmwarePage>(parent)
    , m_chooser(chooseImageFile) {
    m_fileButton = ui.dxButtonEdit1->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                               QLineEdit::TrailingPosition);
    m_fileButton->setObjectName(QStringLiteral("dxButtonEdit1Button"));
    setRunTimeTexts();
    for (QLabel *label : {ui.Label30, ui.Label31, ui.Label32, ui.Label33, ui.Label34, ui.Label35})
        label->hide();
    ui.ProgressBar1->hide();

    const auto guarded = [this](void (FirmwarePage::*handler)()) {
        return [this, handler] {
            RunGuarded(window(), [this, handler] { (this->*handler)(); });
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

void FirmwarePage::changeEvent(QEvent *event) {
    FormPage<Ui::FirmwarePage>::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        setRunTimeTexts();
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

TQevProgrammerForm *FirmwarePage::mainWindow() const {
    return qobject_cast<TQevProgrammerForm *>(window());
}

quint8 FirmwarePage::currentClass() const {
    const TQevProgrammerForm *form = mainWindow();
    return form ? form->link().current().deviceClass : 0;
}

void FirmwarePage::showEvent(QShowEvent *event) {
    FormPage<Ui::FirmwarePage>::showEvent(event);
    // Only a page change shows the page anew, not the window coming back from the taskbar;
    // and not the end of an installation, which shows the network tab again.
    if (!event->spontaneous() && !m_installing)
        RunGuarded(window(), [this] { TabSheetFirmShow(); });
}

void FirmwarePage::TabSheetFirmShow() {
    for (QLabel *label : {ui.Label30, ui.Label31, ui.Label32, ui.Label34, ui.Label35})
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
    const std::optional<qev::ImageHeaderText> header = qev::ReadImageHeaderFile(file);
    if (!header)
        return;
    ui.Label105->setText(header->date);
    ui.Label104->setText(header->version);
    ui.Label109->setText(qev::DeviceClassName(header->classTag));
}

bool FirmwarePage::ImageFitsDevice(const QString &file) const {
    return qev::ImageFitsDevice(file, currentClass());
}

void FirmwarePage::setTrafficButtonsEnabled(TQevProgrammerForm &form, bool enabled) {
    for (const char *name : TrafficButtons) {
        if (auto *button = form.findChild<QPushButton *>(QLatin1String(name)))
            button->setEnabled(enabled);
    }
}

void FirmwarePage::prepareInstallation(TQevProgrammerForm &form, int blockCount) {
    form.SetPageVisible(form.PageWidget(qev::Page::TabSheetMain), false);
    ui.Label30->hide();
    ui.Label34->hide();
    ui.Label35->hide();
    setTrafficButtonsEnabled(form, false);
    ui.Label31->show();
    ui.Label32->show();
    ui.Label33->show();
    ui.ProgressBar1->setMaximum(blockCount);
    ui.ProgressBar1->setValue(0);
    ui.ProgressBar1->show();
    form.Led().setValue(true);
    form.SetStatusText(QString());
    m_transferSuffix.clear();
    // Nothing may start this installation a second time while it runs.
    ui.btnInstallFirmware->setEnabled(false);
}

void FirmwarePage::endInstallation(TQevProgrammerForm &form, const qev::InstallResult &result) {
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
    }
    if (result.beep)
        QApplication::beep();
    if (result.clearFileField)
        ui.dxButtonEdit1->clear();
    setTrafficButtonsEnabled(form, true);
    ui.Label31->setVisible(!result.failed);
    ui.Label32->setVisible(!result.failed);
    ui.Label33->hide();
    ui.ProgressBar1->hide();
    form.SetPageVisible(form.PageWidget(qev::Page::TabSheetMain), true);
    ui.btnInstallFirmware->setEnabled(result.installEnabled);
}

void FirmwarePage::btnInstallFirmwareClick() {
    TQevProgrammerForm *form = mainWindow();
    if (!form || m_installing)
        return;
    qev::DeviceLink &link = form->link();
    const int blockCount = qev::BlockCountOfClass(link.current().deviceClass);
    m_installing = true;
    prepareInstallation(*form, blockCount);

    qev::InstallResult result = qev::ConcludeInstall(qev::InstallOutcome::LinkFailed);
    // Whatever ends the installation, the window comes back.
    struct Restore {
        FirmwarePage *page;
        TQevProgrammerForm *form;
        const qev::InstallResult *result;
        ~Restore() {
            page->endInstallation(*form, *result);
            page->m_installing = false;
        }
    } restore{this, form, &result};

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
    qev::FirmwareInstaller installer(
        link, qev::LoadDeviceCodes(form->settingsFile()).activationCode, m_timing);
    result = installer.install(m_chosenFile, observer);
    if (result.outcome == qev::InstallOutcome::LinkFailed)
        throw qev::LinkError(result.linkError.toStdString());
}
