#pragma once

// Names of the DeviceClass codes that Spurnova devices and PC programs report: the
// catalogue used in the found-device fields, on the firmware page and in the report, and
// the slightly different names of the device pick list.

#include <QString>

namespace qev {

// "Unbekannt" for a code the catalogue does not list.
QString DeviceClassName(quint8 code);

// Empty text for a code the pick list does not name.
QString PickListClassName(quint8 code);

} // namespace qev
