// The filter list of the window's open dialog.
#pragma once

#include <QString>

// "wav (*.wav)" first and "Any File (*)", then SigMF pairs and the bare I/Q captures by extension.
QString OpenDialogFilter();
