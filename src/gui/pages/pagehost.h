#pragma once

// What a device page may ask of the window it sits in, and nothing more.

#include "devicelink/classdispatch.h"

#include <QString>

class BoosterBus;
class QWidget;

namespace qev {
class DeviceLink;
}

class PageHost {
public:
    // The link to the current device; every exchange of a page goes through it.
    virtual qev::DeviceLink &link() = 0;

    // The success indication (LED green and steady, "Befehl akzeptiert") or the failure
    // indication (LED red and blinking, "Keine Antwort vom Gerät: ...").
    virtual void showOutcome(bool accepted) = 0;
    // The failure indication, and the found-class field back to "Unbekannt".
    virtual void showNoDevice() = 0;

    // The item of the device-type choice of the network page (-1: none).
    virtual int deviceTypeItem() const = 0;

    // The caption of a page's tab. A caption set here stays through a language switch.
    virtual void setPageCaption(QWidget *page, const QString &caption) = 0;
    virtual void setPageVisible(qev::Page page, bool visible) = 0;

    // The LED lit in its colour, the status text empty: a long run starts.
    virtual void clearStatus() = 0;
    // The window's buttons that would start other traffic or end the program (a firmware
    // installation must not be left half done).
    virtual void setWindowButtonsEnabled(bool enabled) = 0;

    // A modal yes/no question; true for yes.
    virtual bool confirm(const QString &caption, const QString &text) = 0;

    // The booster list and settings of the current device's bus, one for all the pages
    // that show or read them.
    virtual BoosterBus &boosterBus() = 0;

protected:
    ~PageHost() = default;
};
