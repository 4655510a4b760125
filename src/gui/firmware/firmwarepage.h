#pragma once

// The "Update" page: choosing an image file, showing its header, checking that it fits
// the current device, and the installation with its phase texts, progress and outcome.

#include "firmware/firmwareinstall.h"
#include "pages/devicepage.h"
#include "ui_firmwarepage.h"

#include <QString>
#include <functional>

class QAction;

class FirmwarePage : public FormDevicePage<Ui::FirmwarePage> {
    Q_OBJECT
public:
    // Asks the user for an image file; an empty text when the user cancelled. Tests
    // answer it themselves.
    using FileChooser = std::function<QString(QWidget *parent)>;

    explicit FirmwarePage(QWidget *parent = nullptr);

    void setFileChooser(FileChooser chooser);
    // The program keeps the default waits; tests shorten them.
    void setInstallTiming(const qev::InstallTiming &timing);
    // What the window does around an installation: before, once the page shows the
    // installation under way (the link is busy); after, once the page shows its end, with
    // whether the device came back.
    struct InstallHooks {
        std::function<void()> before;
        std::function<void(bool finished)> after;
    };
    void setInstallHooks(InstallHooks hooks);

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

    void deviceIdentified(const qev::CurrentDevice &device,
                          const qev::ClassDispatch &dispatch) override;
    // The identification got no answer: the installed version is unknown.
    void clearInstalledVersion();
    // The page shows its own progress while the link is busy; its buttons follow the
    // installation.
    void setTrafficEnabled(bool) override {}

protected:
    void read() override { TabSheetFirmShow(); }
    void retranslate() override { setRunTimeTexts(); }

private:
    quint8 currentClass() const;
    // Step 1 and step 11 of an installation.
    void prepareInstallation(int blockCount);
    void endInstallation(const qev::InstallResult &result);
    // From the first step to the page's end state.
    qev::InstallResult install();
    // Texts set at run time, set again in the new language after a switch.
    void setRunTimeTexts();
    void showPhase(int messageId);
    void showCounter(int block, int blockCount);

    FileChooser m_chooser;
    qev::InstallTiming m_timing;
    InstallHooks m_hooks;
    QString m_chosenFile;
    QAction *m_fileButton = nullptr;
    bool m_installing = false;
    int m_phaseId = 0;       // Label32: 0 for its first text
    int m_counterBlock = -1; // Label33: -1 for its first text, 0 for empty
    int m_counterCount = 0;
    QString m_transferSuffix; // behind Label35's caption
};
