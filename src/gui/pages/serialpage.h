#pragma once

#include "app/formpage.h"
#include "ui_serialpage.h"

// The booster list page.
using SerialPage = FormPage<Ui::SerialPage>;
