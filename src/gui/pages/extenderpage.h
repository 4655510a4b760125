#pragma once

#include "app/formpage.h"
#include "ui_extenderpage.h"

// The extender page.
using ExtenderPage = FormPage<Ui::ExtenderPage>;
