// What the backup logic needs from the operating system beyond the
// standard streams: local dates, file identity, an append-only backup
// stream that can be cut back, syncing and locking. One implementation per
// platform (posix.cpp, windows.cpp).
#ifndef ABLAGIX_PLATFORM_H
#define ABLAGIX_PLATFORM_H

#include <cstddef>
#include <cstdio>
#include <ctime>

// Writes console text given in code page 850 to standard output: as these
// very bytes where output is redirected, converted for display where it is
// a terminal or console that uses another character set. -1 on failure.
int write_console(const char *text, std::size_t length);

// Local calendar date of an instant; 0 when the platform cannot convert it.
int local_date(std::time_t instant, std::tm *date);

struct file_identity {
	unsigned long long device;
	unsigned long long number;
};

enum file_kind {
	FILE_MISSING,
	FILE_REGULAR,
	FILE_LINK,	// a symbolic link, judged by itself, not by its target
	FILE_OTHER	// directory, FIFO, device, socket
};

// Kind and identity of a name without following a final link.
file_kind kind_of_file(const char *name, file_identity *identity);
// Identity of what a path leads to; 0 when it leads nowhere.
int identity_of_path(const char *path, file_identity *identity);
// 1 when the file can be opened for reading; never blocks on a FIFO.
int can_read_file(const char *name);
// Deletes a file or a symbolic link itself; never a directory.
int delete_file(const char *name);
int same_identity(const file_identity *a, const file_identity *b);
// 1 when two open streams are the same file.
int same_file(std::FILE *a, std::FILE *b);

// Today's backup, open for appending in binary mode, unbuffered, and
// locked against other runs until it is closed.
struct backup_file {
	std::FILE *stream;
	long long original_length;	// length when this run took it over
	int created;			// this run made it, and nobody wrote to it since
};

// 0 when the name leads to a regular file (created if missing) reached
// without a symbolic link, now open and locked; -1 otherwise.
int open_backup(const char *name, backup_file *backup);
// Makes the appended bytes durable and closes; -1 when any step failed,
// in which case the backup has been cut back where that was still possible.
int commit_backup(backup_file *backup, const char *name);
// Cuts the backup back to its original length (removing it when this run
// created it) and closes it.
void restore_backup(backup_file *backup, const char *name);

#endif
