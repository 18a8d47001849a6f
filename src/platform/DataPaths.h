// SPDX-License-Identifier: MIT
// Where the program's data files live. A tree with data/image/ beside the executable (the build
// tree, a portable copy) keeps everything there. An installed program reads the pictures that
// come with it from <prefix>/share/loomhaven/data/image/ and writes what it makes at run time
// into the user's own data directory, because the prefix is not the user's to write.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// One environment variable's value, or null when it is unset.
using EnvironmentLookup = std::function<const char*(const char*)>;
const char* ProcessEnvironment(const char* name);

// $XDG_DATA_HOME when it is an absolute path, otherwise <home>/.local/share, the home taken
// from $HOME (when absolute) or else from the user's account.
std::filesystem::path DefaultUserDataHome(const EnvironmentLookup& env = ProcessEnvironment);

struct DataPlaces {
    std::filesystem::path pictures;  // the pictures that come with the program (read only)
    std::filesystem::path written;   // the files the program writes at run time
    bool installed = false;          // written lies in the user's data directory
};

// Beside the executable wins; an installed tree is recognised by its share directory found
// relative to the executable, so any prefix works. With neither, the data directory beside
// the executable is the one, to be made on first write.
DataPlaces FindDataPlaces(const std::filesystem::path& programDir,
                          const std::filesystem::path& userDataHome);

// Where an installed program's pictures lie, relative to the directory of its executable.
std::filesystem::path InstalledDataFromProgram();

enum class DataAccess { Read, Write };

// The path of data file `name`. A read looks first at what the program wrote itself (the
// banners, the snapshot), then at the pictures that came with it.
std::filesystem::path DataFilePath(const DataPlaces& places, std::string_view name,
                                   DataAccess access);

// Makes `dir` and every missing parent owner-only (0700) and checks that the user can write
// there. On failure gives false and says why in `why` (the directory and the system's reason).
bool MakeUserDirectory(const std::filesystem::path& dir, std::string& why);

}  // namespace platform
