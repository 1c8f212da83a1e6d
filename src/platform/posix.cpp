#include "platform/platform.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "backup/backup_name.h"

int
local_date(std::time_t instant, std::tm *date)
{
	return localtime_r(&instant, date) != nullptr;
}

static void
identity_of_stat(const struct stat *status, file_identity *identity)
{
	identity->device = status->st_dev;
	identity->number = status->st_ino;
}

file_kind
kind_of_file(const char *name, file_identity *identity)
{
	struct stat status;

	if (lstat(name, &status) != 0)
		return FILE_MISSING;
	identity_of_stat(&status, identity);
	if (S_ISREG(status.st_mode))
		return FILE_REGULAR;
	if (S_ISLNK(status.st_mode))
		return FILE_LINK;
	return FILE_OTHER;
}

int
identity_of_path(const char *path, file_identity *identity)
{
	struct stat status;

	if (stat(path, &status) != 0)
		return 0;
	identity_of_stat(&status, identity);
	return 1;
}

int
can_read_file(const char *name)
{
	int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);

	if (fd < 0)
		return 0;
	(void)close(fd);
	return 1;
}

int
delete_file(const char *name)
{
	return unlink(name);
}

int
same_identity(const file_identity *a, const file_identity *b)
{
	return a->device == b->device && a->number == b->number;
}

int
same_file(std::FILE *a, std::FILE *b)
{
	struct stat status_a, status_b;

	if (fstat(fileno(a), &status_a) != 0 || fstat(fileno(b), &status_b) != 0)
		return 0;
	return status_a.st_dev == status_b.st_dev &&
	    status_a.st_ino == status_b.st_ino;
}

// Opens the name for appending without following a symbolic link and
// without waiting for a FIFO's reader; tells whether this call created it.
// -2 when the file vanished between the two attempts.
static int
open_append(const char *name, int *created)
{
	const int flags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK |
	    O_CLOEXEC;
	int fd = open(name, flags | O_CREAT | O_EXCL, 0666);

	*created = fd >= 0;
	if (fd >= 0 || errno != EEXIST)
		return fd;
	fd = open(name, flags);
	if (fd < 0 && errno == ENOENT)
		return -2;
	return fd;
}

// Another run that failed after creating the file removes it again; one
// that waited for the lock must then not append to the removed file.
static int
still_named(int fd, const char *name)
{
	struct stat by_descriptor, by_name;

	if (fstat(fd, &by_descriptor) != 0 || lstat(name, &by_name) != 0)
		return 0;
	return by_descriptor.st_dev == by_name.st_dev &&
	    by_descriptor.st_ino == by_name.st_ino;
}

static int
lock_backup(int fd)
{
	int result;

	do
		result = flock(fd, LOCK_EX);
	while (result != 0 && errno == EINTR);
	return result;
}

// Locks the open file and records its length: 0 when it is ready, 1 when
// the name has changed hands while this run waited, -1 on failure.
static int
take_over(int fd, const char *name, int created, backup_file *backup)
{
	struct stat status;

	if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
		return -1;
	if (lock_backup(fd) != 0)
		return -1;
	if (!still_named(fd, name))
		return 1;
	if (fstat(fd, &status) != 0 || fcntl(fd, F_SETFL, O_APPEND) != 0)
		return -1;
	backup->original_length = status.st_size;
	backup->created = created && status.st_size == 0;
	return 0;
}

// Wraps the descriptor in an unbuffered append stream; closes it on
// failure. Unbuffered, every piece goes straight to the file, so no byte
// can wait in a stdio buffer and land after the backup was cut back.
static int
attach_stream(int fd, backup_file *backup)
{
	backup->stream = fdopen(fd, "ab");
	if (backup->stream == nullptr) {
		(void)close(fd);
		return -1;
	}
	if (std::setvbuf(backup->stream, nullptr, _IONBF, 0) != 0) {
		(void)std::fclose(backup->stream);
		return -1;
	}
	return 0;
}

int
open_backup(const char *name, backup_file *backup)
{
	for (int attempt = 0; attempt < 8; attempt++) {
		int created;
		int fd = open_append(name, &created);

		if (fd == -2)
			continue;
		if (fd < 0)
			return -1;
		int state = take_over(fd, name, created, backup);
		if (state == 1) {
			(void)close(fd);
			continue;
		}
		if (state == 0 && attach_stream(fd, backup) == 0)
			return 0;
		if (state != 0)
			(void)close(fd);
		if (created)
			(void)unlink(name);
		return -1;
	}
	return -1;
}

// A new directory entry is durable only once its directory is synced.
static int
sync_directory_of(const char *name)
{
	char directory[BACKUP_NAME_SIZE];
	const char *slash = std::strrchr(name, '/');

	if (slash == nullptr) {
		std::strcpy(directory, ".");
	} else if (slash == name) {
		std::strcpy(directory, "/");
	} else {
		std::size_t length = slash - name;
		std::memcpy(directory, name, length);
		directory[length] = '\0';
	}
	int fd = open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return -1;
	int result = fsync(fd);
	// Some file systems cannot sync a directory at all.
	if (result != 0 && errno == EINVAL)
		result = 0;
	if (close(fd) != 0)
		result = -1;
	return result;
}

// Cuts the file back to what it held before this run, or removes it when
// this run created it. Results are not examined: the run has failed
// already, and there is nothing better left to try.
static void
cut_back(int fd, const backup_file *backup, const char *name)
{
	(void)ftruncate(fd, backup->original_length);
	if (backup->created && still_named(fd, name))
		(void)unlink(name);
	else
		(void)fsync(fd);
}

int
commit_backup(backup_file *backup, const char *name)
{
	int fd = fileno(backup->stream);

	if (std::fflush(backup->stream) != 0 || fsync(fd) != 0 ||
	    (backup->created && sync_directory_of(name) != 0)) {
		restore_backup(backup, name);
		return -1;
	}
	// A second descriptor keeps the file, and with it the lock, in hand
	// past the stream's close, so that a failing close can be undone.
	int keeper = dup(fd);
	if (keeper < 0) {
		restore_backup(backup, name);
		return -1;
	}
	if (std::fclose(backup->stream) != 0) {
		cut_back(keeper, backup, name);
		(void)close(keeper);
		return -1;
	}
	// The copy is whole and synced by now: should even this close fail,
	// the run reports it, but there is nothing to undo.
	return close(keeper);
}

void
restore_backup(backup_file *backup, const char *name)
{
	cut_back(fileno(backup->stream), backup, name);
	(void)std::fclose(backup->stream);
}
