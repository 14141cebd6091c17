// The tool's files: the input read whole, the output replaced through a temporary file.
// file_access_posix.cpp and file_access_win32.cpp hold the platform's rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a regular file whole. Anything else (a directory, a FIFO, a device) is refused at
// once with the reason, without waiting on it; so is a file larger than maxBytes.
bool ReadInputFile(const std::string& path, std::uint64_t maxBytes,
                   std::vector<std::uint8_t>* bytes, std::string* error);

// Checks that path may be written: a new name, a regular file, or a link to one. False
// with the reason for a directory, a FIFO, a device or (on Windows) a reserved device name.
bool CheckOutputPath(const std::string& path, std::string* error);

// A new version of a file, written to a temporary file created exclusively beside it and
// renamed over it by Commit. A symbolic link stays a link and its target is replaced; an
// existing file keeps its permission bits; a file with several hard links is replaced by a
// file of its own. Until Commit succeeds nothing at path changes; an uncommitted temporary
// file is removed.
class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    bool Open(const std::string& path, std::string* error);
    bool Write(const std::uint8_t* data, std::size_t size);
    bool Commit(std::string* error);
    // True with the reason when a write has failed.
    bool WriteFailed(std::string* error) const;

  private:
    void Discard();

    std::string shownPath_; // as given, for messages
    std::string finalPath_; // the file that receives the picture (a link's target)
    std::string temporary_; // empty when none exists
    std::intptr_t handle_ = -1;
    int writeError_ = 0; // errno or GetLastError of the first failed write
    bool committed_ = false;
};

// Text safe to show in a message: control bytes and DEL become \xNN.
std::string Printable(const std::string& text);
