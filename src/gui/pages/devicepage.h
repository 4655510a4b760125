#pragma once

// The shape every page of the main window shares: it is attached to its host, reads the
// device when the user turns to it, writes when its button is pressed, re-texts itself on
// a language switch, and learns what the class dispatch decided when a device is
// identified.

#include "devicelink/classdispatch.h"
#include "devicelink/currentdevice.h"
#include "pages/pagehost.h"

#include <QComboBox>
#include <QEvent>
#include <QWidget>
#include <functional>

class DevicePage : public QWidget {
    Q_OBJECT
public:
    explicit DevicePage(QWidget *parent = nullptr);

    void attach(PageHost &host);
    bool attached() const { return m_host != nullptr; }

    // A device was identified (or chosen by hand): what the class dispatch sets on this
    // page (captions, limits, labels).
    virtual void deviceIdentified(const qev::CurrentDevice &device,
                                  const qev::ClassDispatch &dispatch);

    // The link became busy (false) or idle again (true). The controls that would start
    // other traffic follow; by default the whole page.
    virtual void setTrafficEnabled(bool enabled);

    // Whether the window shows the page for the current device. A page it hides is
    // disabled and starts no exchange, even when it is opened by other means (a screen
    // reader offers hidden tabs too): its requests would reach a device of another class.
    void setAvailable(bool available);
    bool available() const { return m_available; }

protected:
    PageHost &host() const;

    // The user turned to the page: read what the device holds. Runs once the page has
    // settled as the shown page, never while another exchange is running.
    virtual void read() {}
    // After the form re-texted itself: texts the page set at run time, in the new
    // language.
    virtual void retranslate() {}
    // The Designer form's own re-texting.
    virtual void retranslateForm() = 0;

    // Runs a handler under the window's general error display; nothing while the page is
    // not available.
    void guarded(const std::function<void()> &handler);

    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void readIfStillShown();

    PageHost *m_host = nullptr;
    bool m_readPending = false;
    bool m_available = true;
};

// A page built from its Designer form.
template <class Form>
class FormDevicePage : public DevicePage {
public:
    explicit FormDevicePage(QWidget *parent = nullptr)
        : DevicePage(parent) {
        ui.setupUi(this);
        // A choice fits its items in every language, not only in the first one shown.
        for (QComboBox *choice : findChildren<QComboBox *>())
            choice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }

    Form ui;

protected:
    void retranslateForm() override { ui.retranslateUi(this); }
};
