#pragma once

// The "Protokoll" window: every datagram of the trace in a table, live while it is open,
// filtered by device address, paused on request, saved as pcapng or copied as text.

#include "trace/datagramtrace.h"

#include <QWidget>
#include <functional>
#include <memory>

class QSortFilterProxyModel;
class QStatusBar;
class TraceModel;

namespace Ui {
class TProtokollForm;
}

class TProtokollForm : public QWidget {
    Q_OBJECT
public:
    // Asks where to save; empty: not at all. Tests answer it themselves.
    using SavePathPrompt = std::function<QString(QWidget *parent)>;

    explicit TProtokollForm(qev::DatagramTrace &trace, QWidget *parent = nullptr);
    ~TProtokollForm() override;

    void setSavePathPrompt(SavePathPrompt prompt);

    // Saves the shown rows as pcapng; false (with the reason shown) when it cannot.
    bool saveTo(const QString &path);
    // Puts the selected rows on the clipboard, one line each.
    void copySelection();

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void setUpAccessibleNames();
    void updateLive();

    std::unique_ptr<Ui::TProtokollForm> ui;
    qev::DatagramTrace &m_trace;
    TraceModel *m_model;
    QSortFilterProxyModel *m_filter;
    SavePathPrompt m_savePath;
};

// A small "Protokoll" button in the window's status bar and the shortcut Ctrl+Shift+P,
// both opening the Protokoll window over the installed trace. Nothing when the program
// keeps no trace.
void AddProtokollButton(QStatusBar *statusBar, QWidget *window);
