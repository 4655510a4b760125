#pragma once

#include "app/formpage.h"
#include "ui_firmwarepage.h"

// The firmware update page.
using FirmwarePage = FormPage<Ui::FirmwarePage>;
