// The command line: argument check and the sequence of one run.
#ifndef ABLAGIX_COMMAND_LINE_H
#define ABLAGIX_COMMAND_LINE_H

#include <cstddef>

constexpr std::size_t SOURCE_PATH_SIZE = 260;
constexpr std::size_t BACKUP_TEMPLATE_SIZE = 262;

extern char source_path[SOURCE_PATH_SIZE];
extern char backup_template[BACKUP_TEMPLATE_SIZE];
extern int quiet;

int check_arguments(int argc, char **argv);
int run(int argc, char **argv);

#endif
