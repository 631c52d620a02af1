#include "desktop/qt/run_file_chooser.h"

#include "desktop/qt/file_chooser.h"

namespace klxr {

bool RunFileChooser(ChooserRequest& request, const ChooserCommand& command, QWidget* owner,
                    MessageBoxes& boxes) {
  request.StartFolder = ReadRememberedFolder(command.valueName);
  request.ChooserFolder = request.StartFolder;
  request.ChosenPath.clear();
  request.SaveMode = command.saveMode;
  request.ExtensionFilter = FitCapacity(command.extensionFilter, kExtensionFilterCapacity);
  if (command.defaultExtension) {
    request.DefaultExtension = FitCapacity(*command.defaultExtension, kDefaultExtensionCapacity);
  }
  {
    FileChooser chooser(request, boxes, owner);
    chooser.exec();
  }
  WriteRememberedFolder(request.ChooserFolder, command.valueName, boxes);
  return !request.ChosenPath.empty();
}

}  // namespace klxr
