#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "backup/backup.h"
#include "test_support.h"

namespace {

namespace chrono = std::chrono;

struct DaysCase {
	const char *value;	// nullptr: unset
	int days;
};

const DaysCase days_cases[] = {
	{nullptr, 31}, {"6", 31}, {"7", 7}, {"100", 100}, {"101", 31},
	{"12abc", 12}, {"  12", 12}, {"\t\n12", 12}, {"+15", 15}, {"-5", 31},
	{"-7", 31}, {"abc", 31}, {"", 31}, {"+", 31}, {"1e2", 31},
	{"99999999999999999999999", 31}, {"4294967306", 31}, {"0000000050", 50},
};

TEST(ReadRetentionDays, AcceptsSevenToHundredElseKeeps31)
{
	for (const auto &c : days_cases) {
		if (c.value == nullptr)
			unsetenv("AX_TAGE");
		else
			setenv("AX_TAGE", c.value, 1);
		read_retention_days();
		EXPECT_EQ(retention_days, c.days) << (c.value ? c.value : "unset");
	}
	unsetenv("AX_TAGE");
}

class RetentionSweep : public ScratchDirectory {
protected:
	std::string name_for(chrono::sys_days day) const
	{
		chrono::year_month_day date(day);
		char text[32];
		std::snprintf(text, sizeof text, "b_%04d%02u%02u",
		    static_cast<int>(date.year()),
		    static_cast<unsigned>(date.month()),
		    static_cast<unsigned>(date.day()));
		return path(text);
	}

	// Lays out one backup for each of the last `count` dates.
	void lay_out(chrono::sys_days today, int count)
	{
		for (int back = 0; back < count; back++)
			write_file(name_for(today - chrono::days(back)), "x");
	}

	int sweep(int days, std::time_t now)
	{
		return sweep_old_backups(path("b_[JJJJMMTT]").c_str(), days,
		    path("source").c_str(), now);
	}
};

struct WindowCase {
	const char *zone;
	int year, month, day, hour, minute;
	int days;
};

// Runs near local midnight beside changes of daylight-saving time, where
// stepping whole 86,400-second days lands on the wrong dates.
const WindowCase window_cases[] = {
	{"Europe/Berlin", 2007, 1, 29, 12, 0, 31},
	{"Europe/Berlin", 2007, 11, 20, 23, 30, 31},
	{"Europe/Berlin", 2007, 11, 20, 0, 30, 31},
	{"Europe/Berlin", 2008, 5, 15, 0, 30, 31},
	{"Europe/Berlin", 2008, 5, 15, 23, 30, 31},
	{"America/Sao_Paulo", 2018, 12, 20, 0, 30, 31},
	{"America/Sao_Paulo", 2018, 12, 20, 23, 30, 31},
	{"America/Sao_Paulo", 2019, 3, 25, 23, 30, 31},
	{"America/Sao_Paulo", 2019, 3, 25, 0, 30, 7},
	{"Pacific/Apia", 2012, 1, 20, 12, 0, 7},
	{"UTC", 2024, 3, 1, 0, 0, 100},
	{"Australia/Lord_Howe", 2021, 11, 1, 0, 15, 31},
};

TEST_F(RetentionSweep, DeletesExactlyTheDatesOfTheWindow)
{
	for (const auto &c : window_cases) {
		use_time_zone(c.zone);
		std::time_t now = local_instant(c.year, c.month, c.day, c.hour,
		    c.minute);
		chrono::sys_days today = chrono::year_month_day(
		    chrono::year(c.year), chrono::month(c.month),
		    chrono::day(c.day));
		int count = 3 * c.days + 4;
		lay_out(today, count);

		ASSERT_EQ(sweep(c.days, now), 0);
		for (int back = 0; back < count; back++) {
			bool in_window = back > c.days && back <= 3 * c.days;
			std::string name = name_for(today - chrono::days(back));
			EXPECT_EQ(file_exists(name), !in_window) << c.zone << " "
			    << c.year << "-" << c.month << "-" << c.day << " "
			    << c.hour << ":" << c.minute << ", " << back
			    << " days back: " << name;
			std::remove(name.c_str());
		}
	}
}

TEST_F(RetentionSweep, TypicalRunKeepsTheEdgesOfTheWindow)
{
	use_time_zone("Europe/Berlin");
	std::string kept[] = {"b_20070129", "b_20061229", "b_20061027"};
	std::string swept[] = {"b_20061228", "b_20061201", "b_20061028"};
	for (const auto &name : kept)
		write_file(path(name), "x");
	for (const auto &name : swept)
		write_file(path(name), "x");

	ASSERT_EQ(sweep(31, local_instant(2007, 1, 29, 8, 0)), 0);
	for (const auto &name : kept)
		EXPECT_TRUE(file_exists(path(name))) << name;
	for (const auto &name : swept)
		EXPECT_FALSE(file_exists(path(name))) << name;
}

TEST_F(RetentionSweep, TemplateWithoutPlaceholderDeletesNothing)
{
	use_time_zone("UTC");
	write_file(path("plain"), "x");
	EXPECT_EQ(sweep_old_backups(path("plain").c_str(), 31,
	    path("source").c_str(), local_instant(2007, 1, 29, 8, 0)), 5);
	EXPECT_TRUE(file_exists(path("plain")));
}

// Only regular files and links themselves go; a directory, a FIFO, a
// link's target and the source stay, whatever window date they carry.
TEST_F(RetentionSweep, DeletesOnlyBackupFiles)
{
	use_time_zone("UTC");
	std::time_t now = local_instant(2007, 1, 29, 8, 0);
	write_file(path("target"), "t");
	ASSERT_EQ(mkdir(path("b_20061201").c_str(), 0700), 0);
	ASSERT_EQ(mkfifo(path("b_20061202").c_str(), 0600), 0);
	ASSERT_EQ(symlink("target", path("b_20061203").c_str()), 0);
	write_file(path("b_20061204"), "source");

	ASSERT_EQ(sweep_old_backups(path("b_[JJJJMMTT]").c_str(), 31,
	    path("b_20061204").c_str(), now), 0);
	EXPECT_TRUE(file_exists(path("b_20061201")));
	EXPECT_TRUE(file_exists(path("b_20061202")));
	EXPECT_FALSE(file_exists(path("b_20061203")));
	EXPECT_EQ(read_file(path("target")), "t");
	EXPECT_EQ(read_file(path("b_20061204")), "source");

	// The source reached through a link that carries a window date.
	ASSERT_EQ(symlink("target", path("b_20061205").c_str()), 0);
	ASSERT_EQ(sweep_old_backups(path("b_[JJJJMMTT]").c_str(), 31,
	    path("b_20061205").c_str(), now), 0);
	EXPECT_TRUE(file_exists(path("b_20061205")));
	EXPECT_EQ(read_file(path("target")), "t");
}

// Near the start of the clock's range the window reaches back before
// 1970; those dates are probed like any other, nothing crashes.
TEST_F(RetentionSweep, WindowBefore1970)
{
	use_time_zone("UTC");
	write_file(path("b_19691201"), "x");
	write_file(path("b_19700101"), "x");
	EXPECT_EQ(sweep(31, 10 * 86400), 0);
	EXPECT_FALSE(file_exists(path("b_19691201")));
	EXPECT_TRUE(file_exists(path("b_19700101")));
}

}
