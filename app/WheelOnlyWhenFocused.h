// A drop-down list that the mouse wheel changes only while the list has the keyboard focus: a wheel
// turned over it on the way to somewhere else passes to the bar beneath, so a careless scroll never
// picks another FFT size and starts a long computation.
#pragma once

class QComboBox;

void ChangeByWheelOnlyWhenFocused(QComboBox* list);
