// platform/install_files.h - the files an installer touches: its own program file, the user's
// home, and folders and files written below one destination without ever following a link.
//
// A destination is an OS path (UTF-8) that the user chose; below it, a path is given as its
// components (UTF-8 names). Every component on the way is opened as a real folder, never
// through a symbolic link, and a file is created only inside the folder its components name,
// so nothing planted in the destination can redirect a write to somewhere else.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The OS path of the running program's own file (from /proc/self/exe); empty when unknown.
std::string OwnProgramPath();
// The user's home folder as an OS path ending in '/'; "/" when there is none.
std::string UserHomeFolder();
// The user's data folder as an OS path ending in '/': $XDG_DATA_HOME when it is an absolute
// path, else ~/.local/share/. Fonts, menu entries and icons of the user's own go below it.
std::string UserDataFolder();
// Creates an OS folder and its missing parents; 1 when it is a folder afterwards.
int MakeOsFolders(const std::string& osFolder);
// Makes an OS folder the current folder; 1 on success.
int EnterFolder(const std::string& osFolder);
// The current folder as an OS path ending in '/'; empty when unknown.
std::string CurrentFolder();

// 1 when `name` can stand as one component below a destination: not empty, not "." or "..",
// no '/' and no zero byte.
int IsSafeComponent(const std::string& name);

// Creates the folder that the components name with one create call: its parents must exist
// already (as real folders), and a folder that is there already is no error. 1 when the folder
// exists afterwards as a real folder; 0 for a missing parent, a link or a file in the way, with
// errno telling which (ELOOP for a link, EEXIST for something else in the way).
int MakeFolderBelow(const std::string& destination, const std::vector<std::string>& components);

// One file being written below a destination, in as many pieces as the caller likes.
struct FileBelow {
    int descriptor = -1; // open for writing; -1 when creating failed
    int failed = 0;      // sticky: set by the first failed create or write
    int error = 0;       // the system's error number of that first failure (errno), 0 if none
};
// Creates (or replaces) the file that the components name, for writing; `executable` gives it
// the mode of a program. A link or anything else that is not a plain file at the last name is
// refused; a plain file that has further names elsewhere (a hard link) is replaced by a new
// file instead of being written through. 1 on success; on failure `file.failed` and
// `file.error` are set (ELOOP for a link, EISDIR for a folder, EEXIST for anything else).
int CreateFileBelow(const std::string& destination, const std::vector<std::string>& components, int executable,
                    FileBelow& file);
// Appends bytes; after a failure it does nothing. Gives 1 while nothing has failed.
int WriteFileBelow(FileBelow& file, const char* data, size_t size);
// Closes the file; 1 when the file was created and every write and the close succeeded.
int CloseFileBelow(FileBelow& file);

// The installer's folder test: 1 when a new file `name` can be created in the OS folder. The test
// file is removed again; an existing file of that name is left alone and a different, unused
// name is tried in its place.
int FolderTakesNewFile(const std::string& osFolder, const std::string& name);
