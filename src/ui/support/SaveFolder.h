#pragma once
// Where the program saves snapshots and recordings.
//
// - The folder "Photos" beside the program file, when it exists (a program run from
//   its build or unpacked folder; the user creates the folder to turn saving on).
// - Otherwise, when the program's folder can be written, nowhere: saving stays off
//   until the user creates "Photos".
// - Otherwise (an installed program: in a folder the user cannot write, or in one of
//   the system's program folders, which an administrator can write but where no
//   picture belongs), the folder "Korvale" in the user's pictures folder, created on
//   first use.

#include <QString>

#include <functional>

struct TSaveFolder {
    QString Path;   // the folder, without a trailing "/"; empty when there is none
    QString Error;  // why there is none, for the user; empty when Path is set

    bool Ok() const { return Error.isEmpty(); }
};

// Whether the running user may create files in `folder`.
using TFolderWritable = std::function<bool(const QString &folder)>;

// The system's answer (access(2) with W_OK).
bool FolderIsWritable(const QString &folder);

// Picks the folder as above. `programFolder` is the program file's folder (with or
// without a trailing "/"), `picturesFolder` the user's pictures folder; creates
// "Korvale" in it when that is the choice and it does not exist yet.
TSaveFolder PickSaveFolder(const QString &programFolder, const QString &picturesFolder,
                           const TFolderWritable &isWritable = FolderIsWritable);

// Whether `folder` is one of the system's program folders (/usr and below, /bin,
// /sbin), where a package installs the program.
bool IsSystemProgramFolder(const QString &folder);

// The user's pictures folder (Qt's PicturesLocation); empty when there is none.
QString UserPicturesFolder();
