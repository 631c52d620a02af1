// How the log viewer's controls follow its size. The viewer opens at its template's size, which is
// also the least it can be; grown, the list takes the extra width and height, the buttons and the
// "Show dBuV" box keep their distances from the bottom edge (Export on the left, Close centred,
// "Show dBuV" on the right), and the column headings stay where they are, above the columns, which
// keep their tab positions: extra width opens to the right of the last column.
#pragma once

namespace klxr {

struct ControlPlace {
  int x;
  int y;
  int width;
  int height;
  bool operator==(const ControlPlace&) const = default;
};

struct ClientSize {
  int width;
  int height;
  bool operator==(const ClientSize&) const = default;
};

// Where the control with the given id goes in a client area of the given size, from its place in
// the template's client area (all in pixels). A size below the template's counts as the template's.
ControlPlace PlaceViewerControl(int controlId, ControlPlace atTemplate, ClientSize templateClient,
                                ClientSize client);

}  // namespace klxr
