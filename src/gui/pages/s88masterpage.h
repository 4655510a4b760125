#pragma once

#include "app/formpage.h"
#include "ui_s88masterpage.h"

// The S88 bus master page.
using S88MasterPage = FormPage<Ui::S88MasterPage>;
