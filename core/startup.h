#pragma once

// Removes what an interrupted run left under /data: temporaries of saves cut short and the
// settings lock of earlier versions (only this program writes the settings, and it takes
// no such lock any more).
void kor_tidy_data_root();

// The core part of start-up, in order: the tidy-up, whether the USB key board is plugged
// in, the named settings, the control port's network from them, the parameter table.
void kor_core_start();
