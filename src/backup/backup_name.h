// Backup names: the template with a calendar date in place of its
// placeholder.
#ifndef ABLAGIX_BACKUP_NAME_H
#define ABLAGIX_BACKUP_NAME_H

#include <cstddef>
#include <ctime>

// Room for any name built from an accepted template: "[JJMMTT]" with a
// three-digit year makes a name one character longer than the template's
// 261 characters less two.
constexpr std::size_t BACKUP_NAME_SIZE = 262;

int expand_template(const char *backup_template, char *backup_name,
    std::size_t name_size, const std::tm *date);

#endif
