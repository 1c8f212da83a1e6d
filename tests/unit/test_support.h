// Helpers shared by the unit tests: a scratch directory, files, fixed
// time zones and instants.
#ifndef ABLAGIX_TEST_SUPPORT_H
#define ABLAGIX_TEST_SUPPORT_H

#include <ctime>
#include <string>

#include <gtest/gtest.h>

// Runs each test in a fresh empty directory, removed afterwards.
class ScratchDirectory : public ::testing::Test {
protected:
	void SetUp() override;
	void TearDown() override;
	std::string path(const std::string &name) const;

	std::string directory;
};

void use_time_zone(const char *zone);
// The instant of a local wall-clock time in the zone set last.
std::time_t local_instant(int year, int month, int day, int hour, int minute);

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &bytes);
bool file_exists(const std::string &path);

#endif
