#include <cstdlib>

#include "backup/backup.h"
#include "backup/backup_name.h"
#include "cli/result_codes.h"
#include "platform/platform.h"

constexpr int DEFAULT_RETENTION_DAYS = 31;

int retention_days = DEFAULT_RETENTION_DAYS;

static int
is_blank(char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
	    c == '\r';
}

// Reads a decimal number the way atoi does (blanks, a sign, digits up to
// the first other character, none giving 0), but saturates instead of
// overflowing: any value past the accepted range stays out of it.
static long
decimal_value(const char *text)
{
	long value = 0;
	int negative = 0;

	while (is_blank(*text))
		text++;
	if (*text == '+' || *text == '-')
		negative = *text++ == '-';
	for (; *text >= '0' && *text <= '9'; text++)
		if (value < 1000000)
			value = value * 10 + (*text - '0');
	return negative ? -value : value;
}

void
read_retention_days()
{
	const char *text = std::getenv("AX_TAGE");

	retention_days = DEFAULT_RETENTION_DAYS;
	if (text == nullptr)
		return;
	long days = decimal_value(text);
	if (days >= 7 && days <= 100)
		retention_days = static_cast<int>(days);
}

// Days since 1 January 1970 of a date in the proleptic Gregorian calendar,
// and back; exact for every date, with no clock or time zone involved.
static long long
day_number(long long year, int month, int day)
{
	year -= month <= 2;
	long long era = (year >= 0 ? year : year - 399) / 400;
	long long year_of_era = year - era * 400;
	long long day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) /
	    5 + day - 1;
	long long day_of_era = year_of_era * 365 + year_of_era / 4 -
	    year_of_era / 100 + day_of_year;
	return era * 146097 + day_of_era - 719468;
}

static std::tm
calendar_date(long long number)
{
	number += 719468;
	long long era = (number >= 0 ? number : number - 146096) / 146097;
	long long day_of_era = number - era * 146097;
	long long year_of_era = (day_of_era - day_of_era / 1460 +
	    day_of_era / 36524 - day_of_era / 146096) / 365;
	long long day_of_year = day_of_era - (365 * year_of_era +
	    year_of_era / 4 - year_of_era / 100);
	long long shifted_month = (5 * day_of_year + 2) / 153;
	long long month = shifted_month < 10 ? shifted_month + 3 :
	    shifted_month - 9;
	std::tm date{};

	date.tm_year = static_cast<int>(year_of_era + era * 400 +
	    (month <= 2) - 1900);
	date.tm_mon = static_cast<int>(month - 1);
	date.tm_mday = static_cast<int>(day_of_year -
	    (153 * shifted_month + 2) / 5 + 1);
	return date;
}

// The source as the sweep must spare it: the file its path leads to, and
// the path itself where that is a link.
struct source_file {
	int followed_known, itself_known;
	file_identity followed, itself;
};

static void
identify_source(const char *source_path, source_file *source)
{
	source->followed_known = identity_of_path(source_path,
	    &source->followed);
	source->itself_known = kind_of_file(source_path, &source->itself) !=
	    FILE_MISSING;
}

// Only regular files and symbolic links (never their targets) are swept,
// and never the source itself, whatever name it carries.
static int
may_delete(const char *name, const source_file *source)
{
	file_identity backup;
	file_kind kind = kind_of_file(name, &backup);

	if (kind != FILE_REGULAR && kind != FILE_LINK)
		return 0;
	if (source->followed_known && same_identity(&backup, &source->followed))
		return 0;
	if (source->itself_known && same_identity(&backup, &source->itself))
		return 0;
	return 1;
}

int
backup_exists(const char *name)
{
	return can_read_file(name);
}

// The window is counted in calendar days from today's local date, so a
// change of daylight-saving time can neither shift nor skip a date.
int
sweep_old_backups(const char *backup_template, int days,
    const char *source_path, std::time_t now)
{
	std::tm today;
	char backup_name[BACKUP_NAME_SIZE];
	source_file source;

	if (!local_date(now, &today))
		return RESULT_OK;
	identify_source(source_path, &source);
	long long today_number = day_number(today.tm_year + 1900LL,
	    today.tm_mon + 1, today.tm_mday);

	for (int back = days + 1; back <= 3 * days; back++) {
		std::tm date = calendar_date(today_number - back);
		int result = expand_template(backup_template, backup_name,
		    sizeof backup_name, &date);
		if (result == RESULT_NO_PLACEHOLDER)
			return result;
		if (result != RESULT_OK)
			continue;
		if (backup_exists(backup_name) &&
		    may_delete(backup_name, &source))
			(void)delete_file(backup_name);
	}
	return RESULT_OK;
}
