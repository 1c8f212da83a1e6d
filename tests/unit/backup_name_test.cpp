#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "backup/backup_name.h"

namespace {

std::tm
date(int year, int month, int day)
{
	std::tm d{};
	d.tm_year = year - 1900;
	d.tm_mon = month - 1;
	d.tm_mday = day;
	return d;
}

struct NameCase {
	const char *backup_template;
	std::tm date;
	int result;
	const char *name;
};

const std::tm jan_29_2007 = date(2007, 1, 29);

const NameCase cases[] = {
	{"D:\\sich\\kasse_[JJJJMMTT].dat", jan_29_2007, 0, "D:\\sich\\kasse_20070129.dat"},
	{"kasse[JJMMTT]", jan_29_2007, 0, "kasse070129"},
	{"x[JJMMTT]y[JJJJMMTT]z", jan_29_2007, 0, "x[JJMMTT]y20070129z"},
	{"[JJJJMMTT][JJJJMMTT]", jan_29_2007, 0, "20070129[JJJJMMTT]"},
	{"[JJMMTT]x[JJMMTT]", jan_29_2007, 0, "070129x[JJMMTT]"},
	{"[JJMMTT]", jan_29_2007, 0, "070129"},
	{"/b/%s%n%d_[JJJJMMTT]%", jan_29_2007, 0, "/b/%s%n%d_20070129%"},
	{"a[JJJJMMTT]", date(2009, 3, 3), 0, "a20090303"},
	{"a[JJMMTT]", date(2010, 12, 31), 0, "a101231"},
	{"a[JJMMTT]", date(1999, 6, 1), 0, "a9990601"},
	{"a[JJMMTT]", date(2100, 1, 1), 0, "a1000101"},
	{"a[JJJJMMTT]", date(999, 1, 1), 0, "a09990101"},
	{"kasse_[jjjjmmtt].dat", jan_29_2007, 5, nullptr},
	{"kasse_[JJJMMTT].dat", jan_29_2007, 5, nullptr},
	{"", jan_29_2007, 5, nullptr},
};

TEST(ExpandTemplate, ReplacesTheFirstChosenPlaceholder)
{
	for (const auto &c : cases) {
		char name[BACKUP_NAME_SIZE];
		int result = expand_template(c.backup_template, name,
		    sizeof name, &c.date);
		ASSERT_EQ(result, c.result) << c.backup_template;
		if (c.name != nullptr) {
			EXPECT_STREQ(name, c.name) << c.backup_template;
		}
	}
}

// The longest accepted template with a three-digit year gives a name one
// character longer than template minus two: it must still fit, whole.
TEST(ExpandTemplate, LongestTemplateWithThreeDigitYearFits)
{
	std::string longest = std::string(253, 'n') + "[JJMMTT]";
	std::tm y1999 = date(1999, 12, 31);
	char name[BACKUP_NAME_SIZE];

	ASSERT_EQ(longest.size(), 261u);
	ASSERT_EQ(expand_template(longest.c_str(), name, sizeof name, &y1999), 0);
	EXPECT_EQ(std::strlen(name), 260u);
	EXPECT_EQ(std::string(name), std::string(253, 'n') + "9991231");
}

// A name that would not fit its buffer is refused, never cut short.
TEST(ExpandTemplate, RefusesANameLongerThanItsBuffer)
{
	std::tm far_future = date(2000000000, 1, 1);
	char name[16];

	memset(name, 'x', sizeof name);
	EXPECT_EQ(expand_template("abcd[JJJJMMTT]", name, sizeof name,
	    &far_future), 7);
	EXPECT_EQ(expand_template("abc[JJJJMMTT]", name, 11, &jan_29_2007), 7);
	EXPECT_EQ(expand_template("ab[JJJJMMTT]", name, 11, &jan_29_2007), 0);
	EXPECT_STREQ(name, "ab20070129");
}

}
