#include "ui/support/SaveFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

TSaveFolder Failure(const QString &why) {
    return TSaveFolder{QString(), why};
}

}  // namespace

bool FolderIsWritable(const QString &folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

bool IsSystemProgramFolder(const QString &folder) {
    const QString path = QDir::cleanPath(folder);
    for (const char *system : {"/usr", "/bin", "/sbin"}) {
        const QString root = QLatin1String(system);
        if (path == root || path.startsWith(root + QLatin1Char('/')))
            return true;
    }
    return false;
}

TSaveFolder PickSaveFolder(const QString &programFolder, const QString &picturesFolder,
                           const TFolderWritable &isWritable) {
    const QString program = QDir::cleanPath(programFolder);
    const QString photos = program + QStringLiteral("/Photos");
    if (QFileInfo(photos).isDir())
        return TSaveFolder{photos, QString()};
    if (!IsSystemProgramFolder(program) && isWritable(program))
        return Failure(QStringLiteral("There is no folder \"Photos\" beside the program (in %1): "
                                      "create it to save snapshots and recordings.")
                           .arg(QDir::toNativeSeparators(program)));

    if (picturesFolder.isEmpty())
        return Failure(QStringLiteral("The program's folder %1 cannot be written and there is no "
                                      "pictures folder for this user.")
                           .arg(QDir::toNativeSeparators(program)));
    const QString own = QDir::cleanPath(picturesFolder) + QStringLiteral("/Korvale");
    if (!QFileInfo(own).isDir() && !QDir().mkpath(own))
        return Failure(QStringLiteral("Cannot create the folder %1.").arg(QDir::toNativeSeparators(own)));
    if (!isWritable(own))
        return Failure(QStringLiteral("Cannot write to the folder %1.").arg(QDir::toNativeSeparators(own)));
    return TSaveFolder{own, QString()};
}

QString UserPicturesFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
}
