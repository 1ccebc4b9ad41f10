#pragma once

// Whether a USB disk is mounted at "/mnt/usb1/". On this machine a stick is the folder
// $KOR_ROOT/mnt/usb1: it is plugged in while the folder exists.
bool usb_disk_present();
