#pragma once

#include "BookExport.h"

class QWidget;

namespace kobin {

// Shows an export's progress in a modal dialog whose Cancel stops it.
BookExport::ProgressShower exportProgressDialog(QWidget *parent);

} // namespace kobin
