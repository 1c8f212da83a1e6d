#include "platform/platform.h"

#include <cerrno>
#include <clocale>
#include <cstring>

#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "backup/backup_name.h"
#include "platform/descriptors.h"

// The character set of the user's locale, as iconv names it; 0 when the
// locale cannot be had. The program itself keeps running in the C locale.
static int
terminal_charset(char *charset, std::size_t size)
{
	if (std::setlocale(LC_CTYPE, "") == nullptr)
		return 0;
	int written = std::snprintf(charset, size, "%s//TRANSLIT",
	    nl_langinfo(CODESET));
	std::setlocale(LC_CTYPE, "C");
	return written > 0 && static_cast<std::size_t>(written) < size;
}

// Converts code page 850 text for display; returns its new length, or 0
// when it is to be written as it is.
static std::size_t
convert_for_terminal(const char *text, std::size_t length, char *converted,
    std::size_t size)
{
	char charset[64];

	if (!terminal_charset(charset, sizeof charset) ||
	    std::strncmp(charset, "IBM850/", 7) == 0)
		return 0;
	iconv_t conversion = iconv_open(charset, "CP850");
	if (conversion == reinterpret_cast<iconv_t>(-1))
		return 0;
	char *in = const_cast<char *>(text);
	char *out = converted;
	std::size_t in_left = length, out_left = size;
	std::size_t result = iconv(conversion, &in, &in_left, &out, &out_left);
	(void)iconv_close(conversion);
	if (result == static_cast<std::size_t>(-1) || in_left != 0)
		return 0;
	return size - out_left;
}

int
write_console(const char *text, std::size_t length)
{
	char converted[1024];

	if (isatty(STDOUT_FILENO)) {
		std::size_t converted_length = convert_for_terminal(text,
		    length, converted, sizeof converted);
		if (converted_length != 0) {
			text = converted;
			length = converted_length;
		}
	}
	return std::fwrite(text, 1, length, stdout) == length ? 0 : -1;
}

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
	file_identity identity_a, identity_b;

	if (fstat(fileno(a), &status_a) != 0 || fstat(fileno(b), &status_b) != 0)
		return 0;
	identity_of_stat(&status_a, &identity_a);
	identity_of_stat(&status_b, &identity_b);
	return same_identity(&identity_a, &identity_b);
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
int
sync_new_entry(const char *name)
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

int
sync_descriptor(int fd)
{
	return fsync(fd);
}

void
cut_back(int fd, const backup_file *backup, const char *name)
{
	int cut = ftruncate(fd, backup->original_length);

	if (backup->created && still_named(fd, name))
		(void)unlink(name);
	else if (cut == 0)
		(void)fsync(fd);
}

int
duplicate_descriptor(int fd)
{
	return dup(fd);
}

int
close_descriptor(int fd)
{
	return close(fd);
}
