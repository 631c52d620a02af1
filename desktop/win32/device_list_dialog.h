// "USB Devices", the device list, dialog 158: the version text of every meter attached, in the
// list's sorted order, and how many there are. The caller runs discovery first and hands over the
// texts. A line selected when OK (or Enter) ends the dialog, or a line double-clicked, picks its
// meter for Read and Erase.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "link/meter_discovery.h"

namespace klxr::win32 {

// Fills an open device list dialog: its title, the texts and their count. Each line keeps the
// device index given at the same position (none given: the text's position) as its item data.
void FillDeviceList(HWND dialog, const std::vector<std::string>& versionTexts,
                    const std::vector<int>& deviceIndexes = {});

// The meter of the dialog's selected line; none when no line is selected.
std::optional<ListedMeter> SelectedMeter(HWND dialog);

// Shows the dialog modally over its owner with the meters discovery found. Returns the meter
// picked; none when Escape ended the dialog or no line was selected.
std::optional<ListedMeter> RunDeviceListDialog(HINSTANCE instance, HWND owner,
                                               const CollectedMeters& meters);

}  // namespace klxr::win32
