#include <cstdio>

#include "backup/backup.h"
#include "backup/backup_name.h"
#include "cli/result_codes.h"
#include "platform/platform.h"

// Reads ask for one byte less than the buffer holds; a read that fills
// the request is what keeps the copy going.
constexpr std::size_t COPY_PIECE = 65535;
static char copy_buffer[COPY_PIECE + 1];

// Moves the source's bytes to the end of the backup, piece by piece.
static int
copy_pieces(std::FILE *source, std::FILE *backup)
{
	std::size_t count;

	do {
		count = std::fread(copy_buffer, 1, COPY_PIECE, source);
		if (count != 0 &&
		    std::fwrite(copy_buffer, 1, count, backup) != count)
			return RESULT_BACKUP_UNWRITABLE;
	} while (count == COPY_PIECE);
	// A short read is the end of the source only when it was not an error.
	if (std::ferror(source))
		return RESULT_SOURCE_UNREADABLE;
	return RESULT_OK;
}

// The backup is left holding whole copies only: a run that fails after
// opening it cuts it back to what it held before.
static int
append_to_backup(std::FILE *source, const char *backup_name)
{
	backup_file backup;

	if (open_backup(backup_name, &backup) != 0)
		return RESULT_BACKUP_UNOPENABLE;
	// Appending a file to itself would grow it until the disk is full.
	if (same_file(source, backup.stream)) {
		restore_backup(&backup, backup_name);
		return RESULT_BACKUP_UNOPENABLE;
	}
	int result = copy_pieces(source, backup.stream);
	if (result != RESULT_OK) {
		restore_backup(&backup, backup_name);
		return result;
	}
	if (commit_backup(&backup, backup_name) != 0)
		return RESULT_BACKUP_UNWRITABLE;
	return RESULT_OK;
}

int
append_copy(const char *source_path, const char *backup_template,
    std::time_t now)
{
	std::tm today;
	char backup_name[BACKUP_NAME_SIZE];

	if (!local_date(now, &today))
		return RESULT_BACKUP_UNOPENABLE;
	int result = expand_template(backup_template, backup_name,
	    sizeof backup_name, &today);
	if (result != RESULT_OK)
		return result;

	std::FILE *source = std::fopen(source_path, "rb");
	if (source == nullptr)
		return RESULT_SOURCE_UNREADABLE;
	// Unbuffered, each piece is one read straight into the copy buffer;
	// a stream that keeps its buffer reads just as correctly, only slower.
	(void)std::setvbuf(source, nullptr, _IONBF, 0);
	result = append_to_backup(source, backup_name);
	(void)std::fclose(source);
	return result;
}
