#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "LFileStatus.h"
#include "LString.h"

// The folder that holds the bank table, and the few file operations its load and
// its save are made of, each on a name in that folder. The steps the operations
// make up (TableFile.h) are written once above them; the operations are the
// platform's, and tests put others in their place.

// How one operation went.
enum class FileStep {
    kDone,
    kExists,       // the name is taken
    kHeld,         // another program holds the file for now (a lease, a sharing lock)
    kUnsupported,  // the file system cannot place a file without replacing one
    kFailed,
};

// What a save keeps of the file it replaces: whether it may be replaced at all, and
// on Linux its permissions, on Windows its hidden and system attributes.
struct FileKeep {
    bool exists;
    bool writable;
    uint32_t bits;
};

class TableFolder {
public:
    virtual ~TableFolder() = default;

    // Whether the name is there; kUnknown when that cannot be known for sure (a
    // link whose target is out of reach, a folder that may not be searched).
    virtual LFilePresence Presence(const LChar* name) = 0;
    // The whole file, when it is a regular file of at most `largest` bytes; never
    // waits on a FIFO or a device, whatever the name becomes meanwhile.
    virtual FileStep Read(const LChar* name, uint32_t largest, std::string& bytes) = 0;
    // What a save must keep of the file; keep.exists is false when there is none.
    virtual FileStep Keep(const LChar* name, FileKeep& keep) = 0;
    // A new file under a name nothing holds (a link included), holding the bytes on
    // the disk, with what keep says applied; kExists when the name is taken. A file
    // it could not complete is removed again.
    virtual FileStep CreateNew(const LChar* name, const std::string& bytes,
                               const FileKeep& keep) = 0;
    // Moves a file to another name, over a file there only when asked to.
    virtual FileStep Rename(const LChar* from, const LChar* to, bool replace) = 0;
    virtual FileStep Remove(const LChar* name) = 0;
};

// The program folder (its path ends with a separator), opened once; null when it
// cannot be opened.
std::unique_ptr<TableFolder> OpenTableFolder(const LString& directory);
