// The C library calls a run of ablagix makes, and nothing else: its heap
// allocation count is what the C library itself allocates for them. The
// benchmark compares it with the program's own count under valgrind; equal
// counts show that the program's logic allocates nothing.
//
// usage: baseline SOURCE BACKUP PROBES  (PROBES names opened and missed)

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

static char buffer[65536];

int
main(int argc, char **argv)
{
	if (argc != 4)
		return 2;
	std::tm date;
	std::time_t now = std::time(nullptr);
	(void)std::getenv("AX_TAGE");
	localtime_r(&now, &date);
	for (int probe = std::atoi(argv[3]); probe > 0; probe--) {
		int fd = open("/nonexistent/probe", O_RDONLY | O_NONBLOCK);
		if (fd >= 0)
			close(fd);
	}
	localtime_r(&now, &date);

	std::FILE *source = std::fopen(argv[1], "rb");
	int fd = open(argv[2], O_WRONLY | O_APPEND | O_CREAT, 0666);
	if (source == nullptr || fd < 0 || flock(fd, LOCK_EX) != 0)
		return 1;
	std::FILE *backup = fdopen(fd, "ab");
	if (backup == nullptr)
		return 1;
	std::setvbuf(source, nullptr, _IONBF, 0);
	std::setvbuf(backup, nullptr, _IONBF, 0);
	std::size_t count;
	do {
		count = std::fread(buffer, 1, 65535, source);
		if (std::fwrite(buffer, 1, count, backup) != count)
			return 1;
	} while (count == 65535);
	int keeper = dup(fd);
	if (std::fflush(backup) != 0 || fsync(fd) != 0 || std::fclose(backup) != 0)
		return 1;
	close(keeper);
	std::fclose(source);
	return 0;
}
