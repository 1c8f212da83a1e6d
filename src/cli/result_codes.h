// Result codes of every operation that can fail. The code that ends a run
// is the process exit status, unchanged.
#ifndef ABLAGIX_RESULT_CODES_H
#define ABLAGIX_RESULT_CODES_H

enum result_code {
	RESULT_OK = 0,
	RESULT_TOO_FEW_ARGUMENTS = 1,	// fewer than two arguments
	RESULT_ARGUMENT_TOO_LONG = 2,	// source path > 259 or template > 261 characters
	RESULT_BAD_OPTION = 3,		// third argument is not exactly "/q"
	RESULT_TOO_MANY_ARGUMENTS = 4,	// more than three arguments
	RESULT_NO_PLACEHOLDER = 5,	// template holds neither placeholder
	RESULT_SOURCE_UNREADABLE = 6,	// source cannot be opened or read
	RESULT_BACKUP_UNOPENABLE = 7,	// backup cannot be opened for appending
	RESULT_BACKUP_UNWRITABLE = 8	// write, flush, sync or close of the backup failed
};

#endif
