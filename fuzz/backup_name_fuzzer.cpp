// Backup names from arbitrary templates and dates: never a crash, and a
// name is always the template with exactly its first chosen placeholder
// replaced by the date, or a refusal for a stated reason.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "backup/backup_name.h"

static int
take_int(const std::uint8_t *&data, std::size_t &size)
{
	std::uint32_t value = 0;
	std::size_t count = size < 4 ? size : 4;

	std::memcpy(&value, data, count);
	data += count;
	size -= count;
	return static_cast<int>(value);
}

static void
require(bool holds, const char *what)
{
	if (!holds) {
		std::fprintf(stderr, "property broken: %s\n", what);
		std::abort();
	}
}

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::tm date{};
	date.tm_year = take_int(data, size);
	date.tm_mon = take_int(data, size);
	date.tm_mday = take_int(data, size);
	// Templates reach here through the argument check: at most 261
	// characters and no NUL inside.
	std::string backup_template(reinterpret_cast<const char *>(data),
	    strnlen(reinterpret_cast<const char *>(data), size < 261 ? size : 261));
	char name[BACKUP_NAME_SIZE + 1];
	name[BACKUP_NAME_SIZE] = '\x7f';

	int result = expand_template(backup_template.c_str(), name,
	    BACKUP_NAME_SIZE, &date);
	require(name[BACKUP_NAME_SIZE] == '\x7f', "wrote past the name buffer");

	std::size_t at = backup_template.find("[JJJJMMTT]");
	std::size_t placeholder = 10;
	if (at == std::string::npos) {
		at = backup_template.find("[JJMMTT]");
		placeholder = 8;
	}
	if (at == std::string::npos) {
		require(result == 5, "no placeholder, yet not 5");
		return 0;
	}
	// Within the years a clock can show, every name fits.
	bool ordinary = date.tm_year >= -1900 && date.tm_year <= 8099 &&
	    date.tm_mon >= 0 && date.tm_mon <= 11 && date.tm_mday >= 1 &&
	    date.tm_mday <= 31;
	if (result == 7) {
		require(!ordinary, "an ordinary date refused");
		return 0;
	}
	require(result == 0, "unexpected result");
	std::string built(name);
	std::string rest = backup_template.substr(at + placeholder);
	require(built.compare(0, at, backup_template, 0, at) == 0,
	    "prefix changed");
	require(built.size() >= at + rest.size() &&
	    built.compare(built.size() - rest.size(), rest.size(), rest) == 0,
	    "rest changed");
	std::string date_text = built.substr(at, built.size() - at - rest.size());
	require(date_text.find_first_not_of("0123456789-") == std::string::npos,
	    "date text holds other characters");
	if (ordinary && placeholder == 10)
		require(date_text.size() == 8, "long placeholder length");
	if (ordinary && date.tm_year >= 100 && date.tm_year <= 199)
		require(built.size() == backup_template.size() - 2,
		    "name not two characters shorter");
	return 0;
}
