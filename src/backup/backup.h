// The three operations of a backup run, in the order the command line
// calls them. Each takes the instant it works for, so that a test can fix
// the date; the program passes the clock's reading.
#ifndef ABLAGIX_BACKUP_H
#define ABLAGIX_BACKUP_H

#include <ctime>

// Days of backups that always stay (7 to 100, default 31).
extern int retention_days;

void read_retention_days();
int sweep_old_backups(const char *backup_template, int days,
    const char *source_path, std::time_t now);
// 1 when the file can be opened for reading, 0 when it cannot.
int backup_exists(const char *name);
int append_copy(const char *source_path, const char *backup_template,
    std::time_t now);

#endif
