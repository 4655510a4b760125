#pragma once

// The run of "Liste drucken": the question whether to search the disk as well, the
// collection with its progress shown beside the button, then the modal preview. While it
// runs the link counts as busy, so the window disables what would start other traffic,
// and a second run cannot start.

#include "report/profilereport.h"

#include <QObject>
#include <functional>

class QLabel;
class QProgressBar;
class QWidget;

namespace qev {
class DeviceLink;
}

class ReportRun : public QObject {
    Q_OBJECT
public:
    // What the run needs from the window.
    struct Window {
        qev::DeviceLink &link;
        QProgressBar *progress; // pbPrint
        QLabel *status;         // lbSteckbriefStatus
        // A modal yes/no question; true for yes.
        std::function<bool(const QString &caption, const QString &text)> ask;
        // The captions of the window's address labels, as they read now.
        std::function<qev::report::AdapterCaptions()> captions;
        QWidget *parent;
    };
    using Preview = std::function<void(const qev::report::ReportTable &table)>;

    static constexpr int ProgressMaximum = 60;

    explicit ReportRun(Window window);

    // Replaces the modal preview (tests look at the table instead).
    void setPreview(Preview preview);
    // What a run starts from; the discovery goes to the PC's broadcast address when none is
    // set. Tests move the discovery, the station probe and the program file.
    qev::report::ReportSettings &settings() { return m_settings; }

    // The handler of btnSteckbrief. Errors of the collection leave it after the display
    // was returned to idle; the window's error display shows them. A failed discovery
    // leaves the devices out and is named in the status label.
    void btnSteckbriefClick();
    bool running() const { return m_running; }

private:
    void step();
    void showIdle();

    Window m_window;
    Preview m_preview;
    qev::report::ReportSettings m_settings;
    bool m_running = false;
};
