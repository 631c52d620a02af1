#include "desktop/run_file_chooser.h"

#include "desktop/remembered_folders.h"

namespace klxr {

bool RunFileChooser(ChooserRequest& request, const ChooserCommand& command, SettingsStore& store,
                    MessageBoxes& boxes, const std::function<void(ChooserRequest&)>& showChooser) {
  request.StartFolder = ReadRememberedFolder(store, command.valueName);
  request.ChooserFolder = request.StartFolder;
  request.ChosenPath.clear();
  request.SaveMode = command.saveMode;
  request.ExtensionFilter = FitCapacity(command.extensionFilter, kExtensionFilterCapacity);
  if (command.defaultExtension) {
    request.DefaultExtension = FitCapacity(*command.defaultExtension, kDefaultExtensionCapacity);
  }
  showChooser(request);
  WriteRememberedFolder(store, request.ChooserFolder, command.valueName, boxes);
  return !request.ChosenPath.empty();
}

}  // namespace klxr
