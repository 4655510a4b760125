#pragma once

#include "app/formpage.h"
#include "ui_containerpage.h"

// The container page.
using ContainerPage = FormPage<Ui::ContainerPage>;
