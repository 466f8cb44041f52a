#pragma once

#include <QByteArray>
#include <QString>

// Writing a file a command was told to produce (an exported image, a converted picture), where the user names the
// target: it may be standard output, a FIFO, a device or a symbolic link, and each gets what a user expects of it.
namespace files {

// The name that stands for standard output.
inline constexpr char kStandardOutputName[] = "-";

enum class OutputResult {
    Written,
    NotAFile, // a folder, a socket or a block device: refused, nothing was written
    Failed,   // the bytes did not all arrive: the file was not replaced, or the stream refused them
};
// The message of an output file that was not written; it names the file.
unsigned messageId(OutputResult result);

// Writes `bytes` to the target `path` names:
// - "-": standard output, directly (the caller prints nothing else there);
// - a FIFO or a character device (a terminal, /dev/null): opened and written directly, never replaced;
// - a symbolic link: followed to the file it points to, which is replaced whole (or created); the link stays;
// - a regular file or a new name: replaced whole through writeWholeFile, the old file kept on any failure;
// - anything else: refused with NotAFile.
OutputResult writeOutputFile(const QString& path, const QByteArray& bytes);

} // namespace files
