#pragma once
#include <QString>

namespace korvin::common {

// The program's folder with the platform separator appended: where
// "Korvin.ini", "Korvin.trp", "Zorb.txt" and "CopyLZH.lst" live. By default the
// folder of the executable; "--home DIR" on the command line or the environment
// variable KORVIN_HOME names another (the command line wins).
QString ProgramFolder();

// Sets ProgramFolder from the command line and environment. Removes "--home DIR"
// (or "--home=DIR") from args. Call once at start, after the application object exists.
void InitProgramFolder(QStringList &args);

// Sets the folder directly (tests); a separator is appended when missing.
void SetProgramFolder(const QString &folder);

// The program folder without --home and KORVIN_HOME: the executable's folder
// exeDir, except for an installed program (exeDir is installedBinDir, such as
// /usr/bin, which the user cannot write): then the folder "korvin" in the
// user's data folder dataDir (~/.local/share). With a separator at its end.
QString DefaultProgramFolder(const QString &exeDir, const QString &installedBinDir, const QString &dataDir);

// A folder path with exactly one platform separator at its end; an empty path
// stays empty (it names no folder, and never the root).
QString withSeparator(const QString &folder);

} // namespace korvin::common
