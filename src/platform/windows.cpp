#include "platform/platform.h"

#include <cstdint>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/descriptors.h"

// Share modes that leave other programs free to read, write and delete,
// as a plain fopen does.
constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE |
    FILE_SHARE_DELETE;

int
write_console(const char *text, std::size_t length)
{
	HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
	DWORD mode;

	// A console is given the letters themselves, whatever its code page.
	if (out != nullptr && out != INVALID_HANDLE_VALUE &&
	    GetConsoleMode(out, &mode)) {
		wchar_t wide[256];
		int count = MultiByteToWideChar(850, 0, text,
		    static_cast<int>(length), wide, 256);
		DWORD written;
		if (count > 0) {
			(void)std::fflush(stdout);
			return WriteConsoleW(out, wide, static_cast<DWORD>(count),
			    &written, nullptr) && written == static_cast<DWORD>(count) ?
			    0 : -1;
		}
	}
	return std::fwrite(text, 1, length, stdout) == length ? 0 : -1;
}

int
local_date(std::time_t instant, std::tm *date)
{
	return localtime_s(date, &instant) == 0;
}

static HANDLE
handle_of(int fd)
{
	return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

static int
identity_of_handle(HANDLE file, file_identity *identity, DWORD *attributes)
{
	BY_HANDLE_FILE_INFORMATION information;

	if (!GetFileInformationByHandle(file, &information))
		return 0;
	identity->device = information.dwVolumeSerialNumber;
	identity->number = static_cast<unsigned long long>(
	    information.nFileIndexHigh) << 32 | information.nFileIndexLow;
	*attributes = information.dwFileAttributes;
	return 1;
}

// A handle for reading attributes only; with FILE_FLAG_OPEN_REPARSE_POINT
// it is the link itself, not its target.
static HANDLE
open_attributes(const char *name, DWORD flags)
{
	return CreateFileA(name, FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr,
	    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

file_kind
kind_of_file(const char *name, file_identity *identity)
{
	HANDLE file = open_attributes(name, FILE_FLAG_OPEN_REPARSE_POINT);
	DWORD attributes;
	file_kind kind = FILE_MISSING;

	if (file == INVALID_HANDLE_VALUE)
		return FILE_MISSING;
	if (identity_of_handle(file, identity, &attributes)) {
		if (GetFileType(file) != FILE_TYPE_DISK ||
		    (attributes & FILE_ATTRIBUTE_DIRECTORY))
			kind = FILE_OTHER;
		else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
			kind = FILE_LINK;
		else
			kind = FILE_REGULAR;
	}
	(void)CloseHandle(file);
	return kind;
}

int
identity_of_path(const char *path, file_identity *identity)
{
	HANDLE file = open_attributes(path, 0);
	DWORD attributes;

	if (file == INVALID_HANDLE_VALUE)
		return 0;
	int known = identity_of_handle(file, identity, &attributes);
	(void)CloseHandle(file);
	return known;
}

int
can_read_file(const char *name)
{
	std::FILE *file = std::fopen(name, "r");

	if (file == nullptr)
		return 0;
	(void)std::fclose(file);
	return 1;
}

int
delete_file(const char *name)
{
	return DeleteFileA(name) ? 0 : -1;
}

int
same_identity(const file_identity *a, const file_identity *b)
{
	return a->device == b->device && a->number == b->number;
}

int
same_file(std::FILE *a, std::FILE *b)
{
	file_identity identity_a, identity_b;
	DWORD attributes;

	if (!identity_of_handle(handle_of(_fileno(a)), &identity_a, &attributes) ||
	    !identity_of_handle(handle_of(_fileno(b)), &identity_b, &attributes))
		return 0;
	return same_identity(&identity_a, &identity_b);
}

// Runs lock one byte far past any end of file: it excludes other runs
// while no other program's reads or writes ever meet it, so the lock is
// as advisory as on POSIX.
static int
lock_backup(HANDLE file)
{
	OVERLAPPED place = {};

	place.Offset = 0xFFFFFFFE;
	place.OffsetHigh = 0x7FFFFFFF;
	return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &place) ? 0 : -1;
}

// A run that failed after creating the file marks it for deletion; one
// that waited for the lock must then open the name anew.
static int
delete_pending(HANDLE file)
{
	FILE_STANDARD_INFO information;

	if (!GetFileInformationByHandleEx(file, FileStandardInfo, &information,
	    sizeof information))
		return 1;
	return information.DeletePending;
}

// Locks the open file and records its length: 0 when it is ready, 1 when
// it is being deleted by another run, -1 on failure.
static int
take_over(HANDLE file, int created, backup_file *backup)
{
	file_identity identity;
	DWORD attributes;
	LARGE_INTEGER length;

	if (GetFileType(file) != FILE_TYPE_DISK ||
	    !identity_of_handle(file, &identity, &attributes) ||
	    (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
		return -1;
	if (lock_backup(file) != 0)
		return -1;
	if (delete_pending(file))
		return 1;
	if (!GetFileSizeEx(file, &length))
		return -1;
	backup->original_length = length.QuadPart;
	backup->created = created && length.QuadPart == 0;
	return 0;
}

// Hands the file to the C runtime as an unbuffered append stream; closes
// it on failure. Unbuffered, every piece goes straight to the file, so no
// byte can wait in a buffer and land after the backup was cut back.
static int
attach_stream(HANDLE file, backup_file *backup)
{
	int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(file),
	    _O_APPEND | _O_BINARY);

	if (fd < 0) {
		(void)CloseHandle(file);
		return -1;
	}
	backup->stream = _fdopen(fd, "ab");
	if (backup->stream == nullptr) {
		(void)_close(fd);
		return -1;
	}
	if (std::setvbuf(backup->stream, nullptr, _IONBF, 0) != 0) {
		(void)std::fclose(backup->stream);
		return -1;
	}
	return 0;
}

static void
discard_created(HANDLE file)
{
	FILE_DISPOSITION_INFO disposition = {TRUE};

	(void)SetFileInformationByHandle(file, FileDispositionInfo,
	    &disposition, sizeof disposition);
}

int
open_backup(const char *name, backup_file *backup)
{
	for (int attempt = 0; attempt < 8; attempt++) {
		// The reparse-point flag opens a symbolic link itself, which
		// take_over then refuses: nothing is written through a link.
		HANDLE file = CreateFileA(name, GENERIC_WRITE | DELETE |
		    FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_ALWAYS,
		    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
		if (file == INVALID_HANDLE_VALUE)
			return -1;
		int created = GetLastError() != ERROR_ALREADY_EXISTS;
		int state = take_over(file, created, backup);
		if (state == 1) {
			(void)CloseHandle(file);
			continue;
		}
		if (state == 0) {
			if (attach_stream(file, backup) == 0)
				return 0;
			// The handle is gone; an empty file this run made goes too.
			if (created)
				(void)DeleteFileA(name);
			return -1;
		}
		if (created)
			discard_created(file);
		(void)CloseHandle(file);
		return -1;
	}
	return -1;
}

int
sync_descriptor(int fd)
{
	return FlushFileBuffers(handle_of(fd)) ? 0 : -1;
}

// NTFS journals its directory entries; syncing the file is all there is.
int
sync_new_entry(const char *)
{
	return 0;
}

void
cut_back(int fd, const backup_file *backup, const char *)
{
	HANDLE file = handle_of(fd);
	LARGE_INTEGER length;

	length.QuadPart = backup->original_length;
	if (SetFilePointerEx(file, length, nullptr, FILE_BEGIN))
		(void)SetEndOfFile(file);
	if (backup->created)
		discard_created(file);
	else
		(void)FlushFileBuffers(file);
}

int
duplicate_descriptor(int fd)
{
	return _dup(fd);
}

int
close_descriptor(int fd)
{
	return _close(fd);
}
