#include "host/DllSearch.h"

#include <algorithm>
#include <cctype>

namespace kordane {

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool SameFolder(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::string_view WithoutQuotes(std::string_view folder) {
  if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
    return folder.substr(1, folder.size() - 2);
  }
  return folder;
}

}  // namespace

bool IsAbsoluteWindowsFolder(std::string_view folder) {
  if (folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
      folder[1] == ':' && IsSeparator(folder[2])) {
    return true;
  }
  // \\server\share: both names present.
  if (folder.size() < 5 || !IsSeparator(folder[0]) || !IsSeparator(folder[1])) return false;
  const std::string_view rest = folder.substr(2);
  const std::size_t split = rest.find_first_of("\\/");
  return split != 0 && split != std::string_view::npos && split + 1 < rest.size() &&
         !IsSeparator(rest[split + 1]);
}

std::string FolderOfFile(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos) return {};
  const bool driveRoot = slash == 2 && path[1] == ':';
  return std::string(path.substr(0, driveRoot ? slash + 1 : slash));
}

std::vector<std::string> DllSearchCandidates(std::string_view fileName,
                                             const DllSearchFolders& folders) {
  std::vector<std::string_view> order;
  const auto add = [&](std::string_view folder) {
    if (!IsAbsoluteWindowsFolder(folder)) return;
    while (folder.size() > 3 && IsSeparator(folder.back())) folder.remove_suffix(1);
    const bool listed = std::any_of(order.begin(), order.end(), [&](std::string_view earlier) {
      return SameFolder(earlier, folder);
    });
    if (!listed) order.push_back(folder);
  };
  add(folders.program);
  add(folders.system);
  add(folders.windows);
  std::string_view path = folders.path;
  while (!path.empty()) {
    const std::size_t end = std::min(path.find(';'), path.size());
    add(WithoutQuotes(path.substr(0, end)));
    path.remove_prefix(std::min(end + 1, path.size()));
  }

  std::vector<std::string> candidates;
  for (const std::string_view folder : order) {
    std::string candidate(folder);
    if (!IsSeparator(candidate.back())) candidate += '\\';
    candidate += fileName;
    candidates.push_back(std::move(candidate));
  }
  return candidates;
}

}  // namespace kordane
