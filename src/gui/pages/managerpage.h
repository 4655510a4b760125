#pragma once

#include "app/formpage.h"
#include "ui_managerpage.h"

// The manager page.
using ManagerPage = FormPage<Ui::ManagerPage>;
