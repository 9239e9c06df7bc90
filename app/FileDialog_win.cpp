#include "app/FileDialog_win.h"

#include <commdlg.h>

#include <array>
#include <cstring>
#include <utility>

namespace pelmora {
namespace {

DWORD Flags(unsigned options) {
  constexpr std::pair<FileDialogOption, DWORD> kFlags[] = {
      {kHideReadOnly, OFN_HIDEREADONLY},
      {kPathMustExist, OFN_PATHMUSTEXIST},
      {kFileMustExist, OFN_FILEMUSTEXIST},
      {kOverwritePrompt, OFN_OVERWRITEPROMPT},
  };
  DWORD flags = OFN_EXPLORER;
  for (const auto& [option, flag] : kFlags) {
    if ((options & option) != 0) flags |= flag;
  }
  return flags;
}

}  // namespace

std::optional<std::string> ShowFileDialog(HWND owner, const FileDialogRequest& request) {
  const std::string filter = CommonDialogFilter(request.filter);
  std::array<char, MAX_PATH> file{};
  std::strncpy(file.data(), request.fileName.c_str(), file.size() - 1);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  ofn.Flags = Flags(request.options);
  const BOOL confirmed = request.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (confirmed == FALSE) return std::nullopt;
  return std::string(file.data());
}

}  // namespace pelmora
