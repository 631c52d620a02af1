#include "desktop/qt/run_file_chooser.h"

#include "desktop/qt/file_chooser.h"
#include "desktop/run_file_chooser.h"
#include "desktop/settings_file_store.h"

namespace klxr {

bool RunFileChooser(ChooserRequest& request, const ChooserCommand& command, QWidget* owner,
                    MessageBoxes& boxes) {
  SettingsFileStore store(UserSettingsFile());
  return RunFileChooser(request, command, store, boxes, [&](ChooserRequest& filled) {
    FileChooser chooser(filled, boxes, owner);
    chooser.exec();
  });
}

}  // namespace klxr
