// The argument check on arbitrary argument vectors: never a crash, the
// codes in their fixed order, and the stored texts whole.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/command_line.h"

static void
require(bool holds, const char *what)
{
	if (!holds) {
		std::fprintf(stderr, "property broken: %s\n", what);
		std::abort();
	}
}

// The code the arguments must give, worked out from the rules alone.
static int
expected_code(const std::vector<std::string> &arguments)
{
	if (arguments.size() < 2)
		return 1;
	if (arguments[0].size() >= 260 || arguments[1].size() >= 262)
		return 2;
	if (arguments.size() == 2)
		return 0;
	if (arguments.size() > 3)
		return 4;
	return arguments[2] == "/q" ? 0 : 3;
}

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	// NUL bytes separate the arguments; at most six are used.
	std::vector<std::string> arguments;
	std::string text(reinterpret_cast<const char *>(data), size);
	std::size_t start = 0;
	while (start <= text.size() && arguments.size() < 6) {
		std::size_t end = text.find('\0', start);
		if (end == std::string::npos)
			end = text.size();
		arguments.push_back(text.substr(start, end - start));
		start = end + 1;
	}
	if (size == 0)
		arguments.clear();

	std::vector<char *> argv;
	static char program[] = "ablagix";
	argv.push_back(program);
	for (auto &argument : arguments)
		argv.push_back(argument.data());
	argv.push_back(nullptr);

	int result = check_arguments(static_cast<int>(argv.size() - 1),
	    argv.data());
	require(result == expected_code(arguments), "wrong code");
	require(quiet == (result == 0 && arguments.size() == 3), "quiet flag");
	if (result == 0) {
		require(arguments[0] == source_path, "source path not whole");
		require(arguments[1] == backup_template, "template not whole");
	}
	return 0;
}
