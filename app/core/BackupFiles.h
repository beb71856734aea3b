// The school's database file as a backup: copied whole through the
// engine's online backup, and a file chosen for restoring checked before
// anything is replaced with it. Errors raise Exception with the engine's
// message (or saying the file is not the school's database).
#pragma once

#include <string>

namespace BackupFiles {

// A consistent copy of the database file, written whole (a scratch file
// renamed at the end).
void SqliteCopy(const std::string& from, const std::string& to);
// Refuses a file that is no intact database holding the school's own tables.
void CheckSchoolDatabase(const std::string& file);
// Replaces the database in the file `to` with the one in `from`, in one
// transaction of the target: a failure half-way leaves it as it was.
void CopyInto(const std::string& from, const std::string& to);

}  // namespace BackupFiles
