#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

void
ScratchDirectory::SetUp()
{
	char pattern[] = "/tmp/ablagix-test-XXXXXX";
	ASSERT_NE(mkdtemp(pattern), nullptr);
	directory = pattern;
}

void
ScratchDirectory::TearDown()
{
	std::error_code ignored;
	fs::permissions(directory, fs::perms::owner_all, ignored);
	fs::remove_all(directory, ignored);
}

std::string
ScratchDirectory::path(const std::string &name) const
{
	return directory + "/" + name;
}

void
use_time_zone(const char *zone)
{
	setenv("TZ", zone, 1);
	tzset();
}

std::time_t
local_instant(int year, int month, int day, int hour, int minute)
{
	std::tm wall{};
	wall.tm_year = year - 1900;
	wall.tm_mon = month - 1;
	wall.tm_mday = day;
	wall.tm_hour = hour;
	wall.tm_min = minute;
	wall.tm_isdst = -1;
	return std::mktime(&wall);
}

std::string
read_file(const std::string &path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in),
	    std::istreambuf_iterator<char>());
}

void
write_file(const std::string &path, const std::string &bytes)
{
	std::ofstream out(path, std::ios::binary);
	out << bytes;
}

bool
file_exists(const std::string &path)
{
	return fs::exists(fs::symlink_status(path));
}
