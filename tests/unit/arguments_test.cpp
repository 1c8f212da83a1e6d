#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_line.h"

namespace {

struct ArgumentCase {
	const char *what;
	std::vector<std::string> arguments;	// after the program name
	int result;
	int quiet;
};

int
check(std::vector<std::string> arguments)
{
	std::vector<char *> argv;
	static char program[] = "ablagix";

	argv.push_back(program);
	for (auto &argument : arguments)
		argv.push_back(argument.data());
	argv.push_back(nullptr);
	return check_arguments(static_cast<int>(argv.size() - 1), argv.data());
}

const std::string source_259(259, 's');
const std::string source_260(260, 's');
const std::string template_261 = std::string(251, 't') + "[JJJJMMTT]";
const std::string template_262 = "x" + template_261;

const ArgumentCase cases[] = {
	{"no arguments", {}, 1, 0},
	{"one argument", {"a"}, 1, 0},
	{"source and template", {"a", "b"}, 0, 0},
	{"quiet option", {"a", "b", "/q"}, 0, 1},
	{"capital Q", {"a", "b", "/Q"}, 3, 0},
	{"dash q", {"a", "b", "-q"}, 3, 0},
	{"quiet with trailing text", {"a", "b", "/qq"}, 3, 0},
	{"four arguments, third /q", {"a", "b", "/q", "x"}, 4, 0},
	{"long source beats four arguments", {source_260, "b", "/q", "x"}, 2, 0},
	{"long template beats bad option", {"a", template_262, "-q"}, 2, 0},
	{"source of 259 characters", {source_259, "b"}, 0, 0},
	{"source of 260 characters", {source_260, "b"}, 2, 0},
	{"template of 261 characters", {"a", template_261}, 0, 0},
	{"template of 262 characters", {"a", template_262}, 2, 0},
	{"empty arguments", {"", ""}, 0, 0},
};

TEST(CheckArguments, ReturnsTheCodeOfTheFirstFault)
{
	for (const auto &c : cases) {
		quiet = 1;
		EXPECT_EQ(check(c.arguments), c.result) << c.what;
		EXPECT_EQ(quiet, c.quiet) << c.what;
	}
}

TEST(CheckArguments, StoresSourceAndTemplateWhole)
{
	ASSERT_EQ(check({source_259, template_261, "/q"}), 0);
	EXPECT_EQ(std::string(source_path), source_259);
	EXPECT_EQ(std::string(backup_template), template_261);
}

}
