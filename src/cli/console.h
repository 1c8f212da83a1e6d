// The two texts the program ever writes to the console.
#ifndef ABLAGIX_CONSOLE_H
#define ABLAGIX_CONSOLE_H

void print_banner();
void print_usage();

#endif
