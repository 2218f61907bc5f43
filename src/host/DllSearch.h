// Where the host library is looked for on Windows, without <windows.h>: the standard search
// order without the current directory. A library planted in the folder a shortcut starts in, or
// in a folder that PATH names relatively, is never loaded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kordane {

// The folders of the search as the system names them; an empty one is left out.
struct DllSearchFolders {
  std::string program;  // the folder of the running program
  std::string system;   // GetSystemDirectory
  std::string windows;  // GetWindowsDirectory
  std::string path;     // the PATH variable: folders separated by ';'
};

// A folder that names the same place whatever the current directory and drive: "C:\dir" or
// "C:/dir", or a UNC share "\\server\share". "dir", ".\dir", "\dir" and "C:dir" are relative.
bool IsAbsoluteWindowsFolder(std::string_view folder);

// The folder that holds a file: "E:\dir" for "E:\dir\K.exe", and a drive's root with its
// separator, "E:\" for "E:\K.exe" ("E:" alone is relative). Empty for a bare file name.
std::string FolderOfFile(std::string_view path);

// The full paths to try for fileName, in order: the program's folder, the system folder, the
// Windows folder, then each absolute folder of PATH (enclosing quotes removed), each folder
// once (compared without case).
std::vector<std::string> DllSearchCandidates(std::string_view fileName,
                                             const DllSearchFolders& folders);

}  // namespace kordane
