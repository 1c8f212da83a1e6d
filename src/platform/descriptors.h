// Operations on the descriptor behind the backup stream, which the shared
// commit and cut-back logic (backup_file.cpp) builds on.
#ifndef ABLAGIX_DESCRIPTORS_H
#define ABLAGIX_DESCRIPTORS_H

#include "platform/platform.h"

int sync_descriptor(int fd);
// Makes a newly created file's directory entry durable.
int sync_new_entry(const char *name);
// Cuts the file back to what it held before this run, or removes it when
// this run created it. Results are not examined: the run has failed
// already, and there is nothing better left to try.
void cut_back(int fd, const backup_file *backup, const char *name);
int duplicate_descriptor(int fd);
int close_descriptor(int fd);

#endif
