// The log erase: deletes the log stored in the meter in one blocking conversation on the shared
// port, "LOG", then "ERASE", then "END". The caller has asked the user to confirm. The log image
// in the program and its View command are not touched.
//
// The answer to "LOG" is awaited for at most 5 reads and judged by its first byte alone: anything
// but ACK stops the erase with "Error - Handshake not received"; no answer at all does not. The
// answer to "ERASE" is awaited for at most 50 reads (the meter takes seconds to erase), until 11
// bytes are in or the first byte is NAK; only ACK and a frame carrying exactly "SUCCESS" confirm
// the erase with "Meter log data erased". "END" follows in every case that got as far as "ERASE".
#pragma once

#include "link/download_window.h"
#include "link/meter_link.h"

namespace klxr {

// Erases the meter's log. A download that is running is stopped first (its timer, its state and
// its port; the records it stored stay), so that the erase never takes the port over under it.
// The window is only used for that.
void EraseMeterLog(MeterLink& link, DownloadWindow* window);

}  // namespace klxr
