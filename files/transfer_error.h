#pragma once
// Why a copy, move or folder transfer did not happen; what() is the text the user sees.
#include <stdexcept>
#include <string>

namespace quilvane {

class TransferError : public std::runtime_error {
public:
    enum class Kind {
        CannotOpen,     // "Cannot open file %s": the source, as given
        CannotCreate,   // "Cannot create file %s": the expanded destination
        CannotMove,     // "Cannot move file %s": a read-only source across file systems
        CannotWrite,    // "Cannot write file %s": a write or flush that failed (a full disk)
        CopiedNotMoved, // copied to its destination, but the source could not be deleted
        CannotList,     // a folder that cannot be read
        IntoItself,     // a folder copied or moved into itself or one of its sub-folders
        AlreadyThere,   // a folder copied or moved into the folder that holds it already
    };
    TransferError(Kind kind, const std::string& path, int error = 0);

    Kind kind() const { return kind_; }
    const std::string& path() const { return path_; }
    int error() const { return error_; }

private:
    Kind kind_;
    std::string path_;
    int error_;
};

}  // namespace quilvane
