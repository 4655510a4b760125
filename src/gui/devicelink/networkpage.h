#pragma once

#include "app/formpage.h"
#include "ui_networkpage.h"

// The "Netzwerk" page: the device found and its new network settings.
using NetworkPage = FormPage<Ui::NetworkPage>;
