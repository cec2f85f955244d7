#pragma once
// Reading and keeping aside the files the program stores its state in: read only when they are regular
// files of a sensible size, and damaged ones kept under numbered names that never replace an earlier copy.

#include <QByteArray>
#include <QString>

#include <functional>

namespace StoredFile {

struct Read {
    enum Outcome {
        absent,     // nothing at the path
        read,       // `bytes` holds the whole file
        notRegular, // a FIFO, a device, a folder…: nothing was read from it
        tooLarge,   // larger than the caller's limit: nothing was read
        failed      // no permission, an I/O error
    } outcome;
    QByteArray bytes;
    QString error; // why it was not read
};

// Reads a regular file whole. It is opened without blocking and checked before anything is read, so a FIFO
// or a device at the path cannot hang the caller, and a file above `maxBytes` is never read into memory.
Read readRegular(const QString& path, qint64 maxBytes);

// The names copies go by: `stem` + `suffix` first, then `stem`.2`suffix`, `stem`.3`suffix`, …
QString numberedName(const QString& stem, const QString& suffix, int number);

// Renames `path` to the first numbered name that is free, replacing nothing. Returns the new name, or an
// empty string with `error` saying why.
QString moveAside(const QString& path, const QString& suffix, QString* error);

// Receives a copy's content in pieces; false on a write error.
using Sink = std::function<bool(const char* bytes, qsizetype size)>;
// Puts a copy's content out to `sink`, the same bytes at every call; false when the sink refused some.
using Content = std::function<bool(const Sink& sink)>;

// Keeps `content` in a new file under the first free numbered name and returns that name, unless a file
// under one of the numbered names already holds exactly that content: then that earlier copy's name is
// returned, so a program that meets the same damage at every start keeps one copy of it. The copy and its
// folder are synced before this returns, so it survives a power cut; a failed write leaves no file behind.
// On failure returns an empty string, with `error` saying why.
QString writeAside(const QString& stem, const QString& suffix, const Content& content, QString* error);

} // namespace StoredFile
