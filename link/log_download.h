// The log download: reads the meter's whole log into the log image, one record per "GET", driven
// by the main window's download timer so that the window keeps painting its progress bar between
// records.
//
// StartDownload (the Read command) clears the image, opens and checks the port, sends "LOG", waits
// 200 ms, throws the answer away, sends "GET" and starts the 1 ms timer. Each tick runs one
// DownloadStep: at most one read of up to 100 bytes; once more than 5 bytes of a reply are in, the
// reply must be ACK and a good frame. It is acknowledged with one ACK byte; a record is stored in
// the next slot and followed by the next "GET"; a 3-byte payload ends the log with "END". The last
// slot filled ends the log the same way. Eleven ticks without a stored record, a first byte other
// than ACK or a frame that does not check out end the download with "Error - Handshake not
// received". Nothing is allocated during a download.
#pragma once

#include "link/download_window.h"
#include "link/meter_link.h"

namespace klxr {

// The Read command. Without a driver library shows "You must install the USB driver first!" and
// changes nothing. Otherwise clears the log image, grays View, drops a running download (waiting
// out its reply as AbandonDownload does) and starts a new one; when the port cannot be opened or
// the adapter was re-programmed it shows why and no download runs.
void StartDownload(MeterLink& link, DownloadWindow* window);

// One tick of the download timer. Does nothing unless a download runs and no step is running.
void DownloadStep(MeterLink& link, DownloadWindow* window);

// Kills the download timer and clears DownloadRunning; returns whether the timer was running.
bool StopDownloadTimer(MeterLink& link, DownloadWindow* window);

// Stops a running download without a message: its timer, its state and its port. Before the port
// is closed, one read time-out is waited out and what the meter sent meanwhile is purged, so that a
// reply still on its way is not judged by the next conversation. The records stored so far stay in
// the image; View stays as it is. Used before another conversation takes the shared port over, and
// before the image is replaced.
void AbandonDownload(MeterLink& link, DownloadWindow* window);

// Stops a running download because the program ends or the user stopped it, leaving the meter as a
// finished download does: the timer stopped, the reply on its way waited out and purged as
// AbandonDownload does, "END" sent (unless the log's end already sent it) and its pause kept, then
// the port closed, which also hands the adapter back to the system. The records stored so far stay
// in the image; no message. Without a running download it only closes a port left open.
void EndDownload(MeterLink& link, DownloadWindow* window);

}  // namespace klxr
