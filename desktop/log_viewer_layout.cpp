#include "desktop/log_viewer_layout.h"

#include <algorithm>

#include "resources/dialog_templates.h"

namespace klxr {

ControlPlace PlaceViewerControl(int controlId, ControlPlace atTemplate, ClientSize templateClient,
                                ClientSize client) {
  const int wider = std::max(0, client.width - templateClient.width);
  const int taller = std::max(0, client.height - templateClient.height);
  ControlPlace place = atTemplate;
  switch (controlId) {
    case ctl::kViewerList:
      place.width += wider;
      place.height += taller;
      break;
    case ctl::kOk:  // Close
      place.x += wider / 2;
      place.y += taller;
      break;
    case ctl::kViewerExport:
      place.y += taller;
      break;
    case ctl::kViewerShowDbuv:
      place.x += wider;
      place.y += taller;
      break;
    default:  // the headings and the unit labels
      break;
  }
  return place;
}

}  // namespace klxr
