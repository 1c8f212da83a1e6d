#include "backup/backup_name.h"

#include <cstdio>
#include <cstring>

#include "cli/result_codes.h"

static const char long_placeholder[] = "[JJJJMMTT]";
static const char short_placeholder[] = "[JJMMTT]";

// The date as the placeholder wants it. The fields are widened first so
// that no broken-down time, however odd, overflows.
static void
format_date(char *text, std::size_t size, const std::tm *date, int long_form)
{
	long long year = date->tm_year + 1900LL;
	long long month = date->tm_mon + 1LL;
	long long day = date->tm_mday;

	if (long_form)
		std::snprintf(text, size, "%04lld%02lld%02lld", year, month, day);
	else
		std::snprintf(text, size, "%02lld%02lld%02lld", year % 1000,
		    month, day);
}

// Only the first occurrence of the chosen placeholder is replaced; the
// long one wins wherever it stands. The rest of the template is copied as
// it is, never read as a format.
int
expand_template(const char *backup_template, char *backup_name,
    std::size_t name_size, const std::tm *date)
{
	const char *placeholder = std::strstr(backup_template, long_placeholder);
	std::size_t placeholder_length = sizeof long_placeholder - 1;
	char date_text[64];

	if (placeholder == nullptr) {
		placeholder = std::strstr(backup_template, short_placeholder);
		placeholder_length = sizeof short_placeholder - 1;
	}
	if (placeholder == nullptr)
		return RESULT_NO_PLACEHOLDER;
	format_date(date_text, sizeof date_text, date,
	    placeholder_length == sizeof long_placeholder - 1);

	std::size_t prefix_length = placeholder - backup_template;
	std::size_t date_length = std::strlen(date_text);
	const char *rest = placeholder + placeholder_length;
	std::size_t rest_length = std::strlen(rest);

	// Only a date far outside the years a clock shows can get here.
	if (prefix_length + date_length + rest_length >= name_size)
		return RESULT_BACKUP_UNOPENABLE;
	std::memcpy(backup_name, backup_template, prefix_length);
	std::memcpy(backup_name + prefix_length, date_text, date_length);
	std::memcpy(backup_name + prefix_length + date_length, rest,
	    rest_length + 1);
	return RESULT_OK;
}
