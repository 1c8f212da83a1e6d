// Committing and undoing an append to the backup, the same on every
// platform once its descriptor operations are given.

#include "platform/descriptors.h"

// Puts the appended bytes, and a new file's directory entry, on stable
// storage.
static int
make_durable(const backup_file *backup, const char *name)
{
#ifdef ABLAGIX_BENCH_WITHOUT_SYNC
	// Benchmark builds only, to measure what the sync costs; such a build
	// can be neither installed nor packaged.
	(void)backup;
	(void)name;
	return 0;
#else
	if (sync_descriptor(fileno(backup->stream)) != 0)
		return -1;
	return backup->created ? sync_new_entry(name) : 0;
#endif
}

int
commit_backup(backup_file *backup, const char *name)
{
	int fd = fileno(backup->stream);

	if (std::fflush(backup->stream) != 0 || make_durable(backup, name) != 0) {
		restore_backup(backup, name);
		return -1;
	}
	// A second descriptor keeps the file, and with it the lock, in hand
	// past the stream's close, so that a failing close can be undone.
	int keeper = duplicate_descriptor(fd);
	if (keeper < 0) {
		restore_backup(backup, name);
		return -1;
	}
	if (std::fclose(backup->stream) != 0) {
		cut_back(keeper, backup, name);
		(void)close_descriptor(keeper);
		return -1;
	}
	// The copy is whole and synced by now: should even this close fail,
	// the run reports it, but there is nothing to undo.
	return close_descriptor(keeper) == 0 ? 0 : -1;
}

void
restore_backup(backup_file *backup, const char *name)
{
	cut_back(fileno(backup->stream), backup, name);
	(void)std::fclose(backup->stream);
}
