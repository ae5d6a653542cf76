#pragma once

#include <QString>

namespace platform {

// The program folder (App.Path): IMAESTROS_HOME when set; else, for an installed program
// (see installedDataFolder), the user's data folder "imaestros" ($XDG_DATA_HOME, by
// default ~/.local/share); else the executable's folder. Never ends with a separator.
// It may not exist yet: the program creates it.
QString programFolder();
// The installed program's shared data folder (<prefix>/share/imaestros, holding the
// schema), found from the executable's folder; empty when running from a build.
QString installedDataFolder();
// The running executable's full path.
QString executablePath();
// Overrides the program folder (tests).
void setProgramFolder(const QString &folder);
// The executable's name without folder (App.EXEName).
QString executableName();
// The system's temporary folder, ending with "/".
QString tempFolder();
// Root under which the Windows absolute folders (C:\RECIBIR\ ...) live;
// defaults to the program folder, IMAESTROS_ROOT overrides.
QString windowsRoot();
// Maps "C:\RECIBIR\Archivos.zip" to <root>/RECIBIR/Archivos.zip; other paths get "\" -> "/".
QString fromWindowsPath(const QString &path);

// Finds `name` in `folder` without regard to case; returns the full path of the
// existing entry, or folder/name when none exists.
QString findFileNoCase(const QString &folder, const QString &name);
// Joins folder and name with one "/".
QString joinPath(const QString &folder, const QString &name);

} // namespace platform
