#include "desktop/qt/app_icon.h"

#include <QtGlobal>

// Resources linked from a static library must be registered by name, outside any namespace.
static void RegisterAppIconResource() {
  Q_INIT_RESOURCE(app_icon);
}

namespace klxr {

QIcon AppIcon() {
  RegisterAppIconResource();
  return QIcon(QString::fromLatin1(kAppIconPath));
}

}  // namespace klxr
