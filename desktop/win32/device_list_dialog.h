// "USB Devices", the device list, dialog 158: the version text of every meter attached, in the
// list's sorted order, and how many there are. The caller runs discovery first and hands over the
// texts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace klxr::win32 {

// Fills an open device list dialog: its title, the texts and their count.
void FillDeviceList(HWND dialog, const std::vector<std::string>& versionTexts);

// Shows the dialog modally over its owner with these texts. Returns 1 for OK, 2 for Escape.
int RunDeviceListDialog(HINSTANCE instance, HWND owner,
                        const std::vector<std::string>& versionTexts);

}  // namespace klxr::win32
