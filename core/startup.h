#pragma once

// Removes what an interrupted run left under /data: temporaries of saves cut short and the
// settings lock of earlier versions (only this program writes the settings, and it takes
// no such lock any more).
void kor_tidy_data_root();

// The core part of start-up, in order: the tidy-up, whether the USB key board is plugged
// in, the named settings, the control port's network from them, the parameter table.
void kor_core_start();

// Writes what is pending (the table when it changed, saves waiting for a retry) and waits
// until it is on flash.
void kor_save_pending();

// SIGTERM, SIGINT and SIGHUP (a shutdown or reboot run from outside) write what is pending
// and then end the event loop, instead of ending the process at once. Call once the
// application object exists.
void kor_quit_on_signals();
