#include "cli/command_line.h"

#include <cstring>
#include <ctime>

#include "backup/backup.h"
#include "cli/console.h"
#include "cli/result_codes.h"

char source_path[SOURCE_PATH_SIZE];
char backup_template[BACKUP_TEMPLATE_SIZE];
int quiet;

// Copies text into a buffer of the given size; 0 when it does not fit.
static int
store_argument(char *buffer, std::size_t size, const char *text)
{
	std::size_t length = std::strlen(text);

	if (length >= size)
		return 0;
	std::memcpy(buffer, text, length + 1);
	return 1;
}

// The order of the tests decides which code wins when several things
// are wrong at once.
int
check_arguments(int argc, char **argv)
{
	quiet = 0;
	if (argc < 3)
		return RESULT_TOO_FEW_ARGUMENTS;
	if (!store_argument(source_path, sizeof source_path, argv[1]))
		return RESULT_ARGUMENT_TOO_LONG;
	if (!store_argument(backup_template, sizeof backup_template, argv[2]))
		return RESULT_ARGUMENT_TOO_LONG;
	if (argc == 3)
		return RESULT_OK;
	if (argc > 4)
		return RESULT_TOO_MANY_ARGUMENTS;
	if (std::strcmp(argv[3], "/q") != 0)
		return RESULT_BAD_OPTION;
	quiet = 1;
	return RESULT_OK;
}

int
run(int argc, char **argv)
{
	int result = check_arguments(argc, argv);

	if (result != RESULT_OK) {
		print_banner();
		print_usage();
		return result;
	}
	if (!quiet)
		print_banner();

	read_retention_days();
	(void)sweep_old_backups(backup_template, retention_days, source_path,
	    std::time(nullptr));

	return append_copy(source_path, backup_template, std::time(nullptr));
}
