#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/DllSearch.h"

namespace kordane {
namespace {

struct SearchCase {
  const char* name;
  DllSearchFolders folders;
  std::vector<std::string> candidates;
};

const DllSearchFolders kSystem{"C:\\Kordane", "C:\\windows\\system32", "C:\\windows", ""};

DllSearchFolders WithPath(const char* path) {
  DllSearchFolders folders = kSystem;
  folders.path = path;
  return folders;
}

const std::vector<std::string> kSystemCandidates{
    "C:\\Kordane\\Dbx32.dll", "C:\\windows\\system32\\Dbx32.dll", "C:\\windows\\Dbx32.dll"};

std::vector<std::string> SystemThen(std::vector<std::string> more) {
  std::vector<std::string> all = kSystemCandidates;
  all.insert(all.end(), more.begin(), more.end());
  return all;
}

const SearchCase kCases[] = {
    {"program, system and Windows folders first, then PATH in order",
     WithPath("D:\\Host\\bin;E:/tools"),
     SystemThen({"D:\\Host\\bin\\Dbx32.dll", "E:/tools\\Dbx32.dll"})},
    {"relative PATH folders are left out",
     WithPath(".;bin;..\\host;\\rooted;C:drive-relative;D:\\Host"),
     SystemThen({"D:\\Host\\Dbx32.dll"})},
    {"empty PATH entries and a trailing separator are left out", WithPath(";;D:\\Host\\;"),
     SystemThen({"D:\\Host\\Dbx32.dll"})},
    {"quoted PATH folders lose their quotes", WithPath("\"D:\\Program Files\\Host\""),
     SystemThen({"D:\\Program Files\\Host\\Dbx32.dll"})},
    {"UNC shares are absolute, a server alone is not",
     WithPath("\\\\server\\share\\host;\\\\server;\\\\server\\"),
     SystemThen({"\\\\server\\share\\host\\Dbx32.dll"})},
    {"a folder already searched is searched once, whatever its case",
     WithPath("c:\\WINDOWS\\System32;C:\\kordane\\;D:\\Host;d:\\host"),
     SystemThen({"D:\\Host\\Dbx32.dll"})},
    {"a drive's root keeps its separator", WithPath("D:\\"), SystemThen({"D:\\Dbx32.dll"})},
    {"folders the system did not name are left out",
     DllSearchFolders{"", "C:\\windows\\system32", "", ""},
     {"C:\\windows\\system32\\Dbx32.dll"}},
    {"a relative program folder is left out",
     DllSearchFolders{"Kordane", "", "", "D:\\Host"},
     {"D:\\Host\\Dbx32.dll"}},
};

TEST(DllSearch, CandidatesFollowTheSafeOrder) {
  for (const SearchCase& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DllSearchCandidates("Dbx32.dll", c.folders), c.candidates);
  }
}

// A copy at the root of a drive (a USB stick) searches its own folder too.
TEST(DllSearch, ProgramFolderOfADrivesRootKeepsItsSeparator) {
  const std::pair<const char*, const char*> kFolders[] = {
      {"E:\\Kordane.exe", "E:\\"},
      {"E:/Kordane.exe", "E:/"},
      {"E:\\Tools\\Kordane.exe", "E:\\Tools"},
      {"\\\\server\\share\\Kordane.exe", "\\\\server\\share"},
      {"Kordane.exe", ""},
  };
  for (const auto& [file, folder] : kFolders) EXPECT_EQ(FolderOfFile(file), folder) << file;
  EXPECT_EQ(DllSearchCandidates("Dbx32.dll", {FolderOfFile("E:\\Kordane.exe"), "", "", ""}),
            std::vector<std::string>{"E:\\Dbx32.dll"});
}

}  // namespace
}  // namespace kordane
