#include "desktop/chooser_flow.h"

#include <optional>
#include <utility>

#include "desktop/chooser_listing.h"
#include "desktop/folder_paths.h"
#include "platform/long_name.h"

namespace klxr {

ChooserFlow::ChooserFlow(ChooserRequest& request, MessageBoxes& boxes, ChooserView& view)
    : request_(request), boxes_(boxes), view_(view) {}

void ChooserFlow::Open() {
  view_.SetNameText(request_.ChosenPath);
  request_.ChosenPath.clear();
  if (!ListFolder(request_.StartFolder)) {
    request_.StartFolder = CurrentFolder();
    ListFolder(request_.StartFolder);
  }
}

bool ChooserFlow::ListFolder(std::string_view path) {
  const std::optional<FolderListing> listing = ListFolderEntries(path);
  if (!listing) {
    return false;
  }
  view_.ShowFolder(listing->folder);
  view_.ShowEntries(FilterChooserEntries(listing->entries, request_.ExtensionFilter,
                                         view_.ShowAllTicked(), platform::LongNameOf));
  return true;
}

void ChooserFlow::OnSelect(std::string_view entry) {
  const bool bracketed = entry.size() >= 2 && entry.front() == '[' && entry.back() == ']';
  if (!entry.empty() && !bracketed) {
    view_.SetNameText(std::string(entry));
  }
}

void ChooserFlow::OnDoubleClick(std::string_view entry) {
  const bool bracketed = entry.size() >= 2 && entry.front() == '[' && entry.back() == ']';
  if (IsDriveEntry(entry) || bracketed) {
    ListFolder(FolderOfEntry(entry));
    return;
  }
  if (request_.SaveMode && !ConfirmOverwrite()) {
    return;
  }
  std::optional<std::string> path = FullPath(entry);
  if (!path) {
    return;
  }
  std::string folder = FolderOfPath(*path);
  Accept(std::move(*path), std::move(folder));
}

void ChooserFlow::OnOk() {
  request_.ChooserFolder = CurrentFolder();
  request_.ChosenPath = FitCapacity(view_.NameText(), kPathCapacity);
  if (request_.ChosenPath.empty()) {
    return;
  }
  std::optional<std::string> path = FullPath(request_.ChosenPath);
  if (!path) {
    Refuse();
    return;
  }
  OfferPath(std::move(*path), false);
}

void ChooserFlow::OfferPath(std::string path, bool defaultExtensionTried) {
  switch (LookUpPath(path)) {
    case PathKind::Folder:
      ListTypedFolder(path);
      return;
    case PathKind::File:
      if (!request_.SaveMode || ConfirmOverwrite()) {
        Accept(std::move(path), CurrentFolder());
      }
      return;
    case PathKind::Missing:
      break;
  }
  if (!request_.SaveMode) {
    Refuse();
    return;
  }
  // A new name: it gets the default extension when no "." stands anywhere in its path.
  const bool addExtension = !defaultExtensionTried && !request_.DefaultExtension.empty() &&
                            path.find('.') == std::string::npos;
  if (!addExtension) {
    Accept(std::move(path), CurrentFolder());
    return;
  }
  path += request_.DefaultExtension;
  if (path.size() >= kPathCapacity) {
    Refuse();
    return;
  }
  OfferPath(std::move(path), true);
}

bool ChooserFlow::ConfirmOverwrite() {
  return AskQuestion(boxes_, msg::kConfirmOverwrite) == Answer::Yes;
}

void ChooserFlow::ListTypedFolder(const std::string& path) {
  ListFolder(path);
  request_.ChosenPath.clear();
  view_.SetNameText({});
}

void ChooserFlow::Refuse() {
  ShowMessage(boxes_, msg::kInvalidBinaryFile, BoxKind::Error);
  request_.ChosenPath.clear();
}

void ChooserFlow::Accept(std::string path, std::string folder) {
  request_.ChosenPath = std::move(path);
  request_.ChooserFolder = std::move(folder);
  view_.EndChooser(kChooserChose);
}

void ChooserFlow::OnCancel() {
  request_.ChosenPath.clear();
  request_.ChooserFolder = CurrentFolder();
  view_.EndChooser(kChooserCancelled);
}

void ChooserFlow::OnShowAllChanged() {
  request_.ChooserFolder = CurrentFolder();
  ListFolder(request_.ChooserFolder);
}

}  // namespace klxr
