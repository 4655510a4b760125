#pragma once

// The "Update" page: choosing an image file, showing its header, checking that it fits
// the current device, and the installation with its phase texts, progress and outcome.
// The page works on the main window it sits in: its link, LED, status line and buttons.

#include "app/formpage.h"
#include "firmware/firmwareinstall.h"
#include "ui_firmwarepage.h"

#include <QString>
#include <functional>

class QAction;
class TQevProgrammerForm;

class FirmwarePage : public FormPage<Ui::FirmwarePage> {
public:
    // Asks the user for an image file; an empty text when the user cancelled. Tests
    // answer it themselves.
    using FileChooser = std::function<QString(QWidget *parent)>;

    explicit FirmwarePage(QWidget *parent = nullptr);

    void setFileChooser(FileChooser chooser);
    // The program keeps the default waits; tests shorten them.
    void setInstallTiming(const qev::InstallTiming &timing);

    // The path last chosen in the file dialog: what an installation installs.
    const QString &ChosenFile() const { return m_chosenFile; }
    QAction *FileButton() const { return m_fileButton; }

    void TabSheetFirmShow();
    void btnUpdateFileClick();
    void dxButtonEdit1ButtonClick();
    void dxButtonEdit1Change();
    void btnInstallFirmwareClick();

    void ShowImageHeader(const QString &file);
    bool ImageFitsDevice(const QString &file) const;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    TQevProgrammerForm *mainWindow() const;
    quint8 currentClass() const;
    // Step 1 and step 11 of an installation.
    void prepareInstallation(TQevProgrammerForm &form, int blockCount);
    void endInstallation(TQevProgrammerForm &form, const qev::InstallResult &result);
    void setTrafficButtonsEnabled(TQevProgrammerForm &form, bool enabled);
    // Texts set at run time, set again in the new language after a switch.
    void setRunTimeTexts();
    void showPhase(int messageId);
    void showCounter(int block, int blockCount);

    FileChooser m_chooser;
    qev::InstallTiming m_timing;
    QString m_chosenFile;
    QAction *m_fileButton = nullptr;
    bool m_installing = false;
    int m_phaseId = 0;       // Label32: 0 for its first text
    int m_counterBlock = -1; // Label33: -1 for its first text, 0 for empty
    int m_counterCount = 0;
    QString m_transferSuffix; // behind Label35's caption
};
