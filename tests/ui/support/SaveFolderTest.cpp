// Where snapshots and recordings go: "Photos" beside the program when it exists,
// nothing when the program's folder is writable without it, "Korvale" in the user's
// pictures folder for an installed program.
//
// Tests run as root in CI, where permission bits do not stop writing; the cases of a
// folder the user cannot write therefore inject the writability check, and the
// system's check on a read-only folder runs only for other users.

#include "ui/support/SaveFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct SaveFolder : ::testing::Test {
    QTemporaryDir root;
    QString program, pictures;
    QStringList asked;  // folders the writability check was asked about

    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        program = root.filePath(QStringLiteral("opt/korvale/bin"));
        pictures = root.filePath(QStringLiteral("home/user/Pictures"));
        ASSERT_TRUE(QDir().mkpath(program));
    }
    // A check that answers `writable` for the program's folder and yes elsewhere.
    TFolderWritable ProgramFolderWritable(bool writable) {
        return [this, writable](const QString &folder) {
            asked << folder;
            return folder == program ? writable : true;
        };
    }
};

}  // namespace

TEST_F(SaveFolder, PhotosBesideTheProgramWinsWhenItExists) {
    ASSERT_TRUE(QDir(program).mkdir(QStringLiteral("Photos")));
    for (bool writable : {true, false})
        for (const QString &given : {program, program + QLatin1Char('/')}) {
            const TSaveFolder f = PickSaveFolder(given, pictures, ProgramFolderWritable(writable));
            EXPECT_TRUE(f.Ok()) << f.Error.toStdString();
            EXPECT_EQ(f.Path, program + QStringLiteral("/Photos"));
        }
    EXPECT_FALSE(QFile::exists(pictures));
}

TEST_F(SaveFolder, AWritableProgramFolderWithoutPhotosSavesNothingAndCreatesNothing) {
    for (const TSaveFolder &f : {PickSaveFolder(program, pictures, ProgramFolderWritable(true)),
                                 PickSaveFolder(program, pictures)}) {  // the system's check: a fresh folder
        EXPECT_FALSE(f.Ok());
        EXPECT_TRUE(f.Path.isEmpty());
        EXPECT_TRUE(f.Error.contains(QStringLiteral("\"Photos\""))) << f.Error.toStdString();
        EXPECT_TRUE(f.Error.contains(program)) << f.Error.toStdString();
    }
    // A file called Photos is not the folder.
    QFile file(QDir(program).filePath(QStringLiteral("Photos")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(PickSaveFolder(program, pictures, ProgramFolderWritable(true)).Ok());
    EXPECT_EQ(QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Photos"});
    EXPECT_FALSE(QFile::exists(pictures));
}

TEST_F(SaveFolder, AnInstalledProgramSavesInKorvaleInThePicturesFolderCreatedOnFirstUse) {
    const QString expected = pictures + QStringLiteral("/Korvale");
    const TSaveFolder first = PickSaveFolder(program, pictures, ProgramFolderWritable(false));
    ASSERT_TRUE(first.Ok()) << first.Error.toStdString();
    EXPECT_EQ(first.Path, expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());  // and the pictures folder above it
    EXPECT_TRUE(asked.contains(expected));     // checked for writing too

    // Again, with a file already in it: the same folder, left as it is.
    QFile kept(QDir(expected).filePath(QStringLiteral("MLX_PHOTO_20240102030405.jpg")));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.close();
    const TSaveFolder again =
        PickSaveFolder(program, pictures + QLatin1Char('/'), ProgramFolderWritable(false));
    EXPECT_EQ(again.Path, expected);
    EXPECT_TRUE(kept.exists());
    // No Photos folder was made beside the program.
    EXPECT_FALSE(QFile::exists(QDir(program).filePath(QStringLiteral("Photos"))));
}

TEST_F(SaveFolder, AProgramInstalledInTheSystemSavesInThePicturesFolderEvenForAnAdministrator) {
    // /usr/bin is writable for root, but pictures do not belong there.
    const TSaveFolder f = PickSaveFolder(QStringLiteral("/usr/bin/"), pictures, ProgramFolderWritable(true));
    ASSERT_TRUE(f.Ok()) << f.Error.toStdString();
    EXPECT_EQ(f.Path, pictures + QStringLiteral("/Korvale"));
    EXPECT_TRUE(IsSystemProgramFolder(QStringLiteral("/usr/local/bin")));
    EXPECT_TRUE(IsSystemProgramFolder(QStringLiteral("/bin")));
    EXPECT_FALSE(IsSystemProgramFolder(QStringLiteral("/usrdata/bin")));
    EXPECT_FALSE(IsSystemProgramFolder(program));
}

TEST_F(SaveFolder, AnInstalledProgramWithNowhereToSaveSaysWhy) {
    // No pictures folder at all.
    const TSaveFolder none = PickSaveFolder(program, QString(), ProgramFolderWritable(false));
    EXPECT_FALSE(none.Ok());
    EXPECT_TRUE(none.Path.isEmpty());
    EXPECT_TRUE(none.Error.contains(QStringLiteral("pictures folder"))) << none.Error.toStdString();

    // "Korvale" there is a file, so the folder cannot be made.
    ASSERT_TRUE(QDir().mkpath(pictures));
    QFile blocker(pictures + QStringLiteral("/Korvale"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const TSaveFolder blocked = PickSaveFolder(program, pictures, ProgramFolderWritable(false));
    EXPECT_FALSE(blocked.Ok());
    EXPECT_TRUE(blocked.Error.contains(pictures + QStringLiteral("/Korvale"))) << blocked.Error.toStdString();
    ASSERT_TRUE(blocker.remove());

    // The folder exists but cannot be written.
    const QString own = pictures + QStringLiteral("/Korvale");
    const TSaveFolder readOnly = PickSaveFolder(
        program, pictures, [&](const QString &folder) { return folder != program && folder != own; });
    EXPECT_FALSE(readOnly.Ok());
    EXPECT_TRUE(readOnly.Error.contains(own)) << readOnly.Error.toStdString();
}

TEST_F(SaveFolder, TheSystemCheckSeesAReadOnlyFolder) {
    EXPECT_TRUE(FolderIsWritable(program));
    EXPECT_FALSE(FolderIsWritable(root.filePath(QStringLiteral("missing"))));
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes to read-only folders: permission bits cannot be tested";
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_FALSE(FolderIsWritable(program));
    const TSaveFolder f = PickSaveFolder(program, pictures);
    EXPECT_TRUE(f.Ok()) << f.Error.toStdString();
    EXPECT_EQ(f.Path, pictures + QStringLiteral("/Korvale"));
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
