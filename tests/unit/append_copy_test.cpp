#include <csignal>
#include <cstdio>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "backup/backup.h"
#include "test_support.h"

namespace {

class AppendCopy : public ScratchDirectory {
protected:
	void SetUp() override
	{
		ScratchDirectory::SetUp();
		use_time_zone("Europe/Berlin");
		now = local_instant(2007, 1, 29, 12, 0);
		source = path("kasse.dat");
		backup_template = path("kasse_[JJJJMMTT].dat");
		today = path("kasse_20070129.dat");
	}

	int copy() { return append_copy(source.c_str(), backup_template.c_str(), now); }

	std::time_t now;
	std::string source, backup_template, today;
};

std::string
pattern(std::size_t size)
{
	std::string bytes(size, '\0');
	for (std::size_t i = 0; i < size; i++)
		bytes[i] = static_cast<char>(i * 7 + i / 65535);
	return bytes;
}

// Sizes around the 65,535-byte piece, where an off-by-one loses or
// repeats bytes.
TEST_F(AppendCopy, AppendsWholeSourceAtPieceBoundaries)
{
	for (std::size_t size : {0ul, 1ul, 65534ul, 65535ul, 65536ul, 3 * 65535ul + 7}) {
		std::string bytes = pattern(size);
		write_file(source, bytes);
		std::remove(today.c_str());

		ASSERT_EQ(copy(), 0) << size;
		EXPECT_EQ(read_file(today), bytes) << size;
		ASSERT_EQ(copy(), 0) << size;
		EXPECT_EQ(read_file(today), bytes + bytes) << size;
	}
}

TEST_F(AppendCopy, KeepsWhatTheBackupHeld)
{
	write_file(today, "earlier run\n");
	write_file(source, "now\n");

	ASSERT_EQ(copy(), 0);
	EXPECT_EQ(read_file(today), "earlier run\nnow\n");
	EXPECT_FALSE(file_exists(path("kasse_20070128.dat")));
}

TEST_F(AppendCopy, NextDayStartsANewFile)
{
	write_file(source, "abc");
	ASSERT_EQ(copy(), 0);
	now += 86400;
	ASSERT_EQ(copy(), 0);
	EXPECT_EQ(read_file(today), "abc");
	EXPECT_EQ(read_file(path("kasse_20070130.dat")), "abc");
}

TEST_F(AppendCopy, TemplateWithoutPlaceholderOpensNothing)
{
	write_file(source, "abc");
	backup_template = path("kasse.bak");

	EXPECT_EQ(copy(), 5);
	EXPECT_FALSE(file_exists(path("kasse.bak")));
}

TEST_F(AppendCopy, MissingSourceCreatesNoBackup)
{
	EXPECT_EQ(copy(), 6);
	EXPECT_FALSE(file_exists(today));
}

// A directory opens for reading on POSIX and fails only on the first read.
TEST_F(AppendCopy, UnreadableSourceLeavesBackupAsItWas)
{
	source = directory;
	EXPECT_EQ(copy(), 6);
	EXPECT_FALSE(file_exists(today));

	write_file(today, "kept");
	EXPECT_EQ(copy(), 6);
	EXPECT_EQ(read_file(today), "kept");
}

TEST_F(AppendCopy, MissingBackupDirectoryGives7)
{
	write_file(source, "abc");
	backup_template = path("missing/kasse_[JJJJMMTT].dat");
	EXPECT_EQ(copy(), 7);
}

// The source carrying today's backup name: appending it to itself would
// never end.
TEST_F(AppendCopy, SourceThatIsTodaysBackupIsRefused)
{
	write_file(today, "abc");
	source = today;
	EXPECT_EQ(copy(), 7);
	EXPECT_EQ(read_file(today), "abc");

	source = path("./kasse_20070129.dat");
	EXPECT_EQ(copy(), 7);
	EXPECT_EQ(read_file(today), "abc");
}

// Writes fail past a file-size limit, as on a full disk: the run fails
// with 8 and the backup is exactly what it was before.
class FileSizeLimit {
public:
	explicit FileSizeLimit(rlim_t bytes)
	{
		getrlimit(RLIMIT_FSIZE, &saved);
		old_handler = std::signal(SIGXFSZ, SIG_IGN);
		rlimit limit = saved;
		limit.rlim_cur = bytes;
		setrlimit(RLIMIT_FSIZE, &limit);
	}
	~FileSizeLimit()
	{
		setrlimit(RLIMIT_FSIZE, &saved);
		std::signal(SIGXFSZ, old_handler);
	}

private:
	rlimit saved;
	void (*old_handler)(int);
};

TEST_F(AppendCopy, FailedWriteCutsBackupBack)
{
	std::string earlier = pattern(70000);
	write_file(today, earlier);
	write_file(source, pattern(200000));
	{
		FileSizeLimit limit(150000);
		EXPECT_EQ(copy(), 8);
	}
	EXPECT_EQ(read_file(today), earlier);
}

TEST_F(AppendCopy, FailedWriteRemovesBackupItCreated)
{
	write_file(source, pattern(200000));
	{
		FileSizeLimit limit(100000);
		EXPECT_EQ(copy(), 8);
	}
	EXPECT_FALSE(file_exists(today));
}

TEST_F(AppendCopy, BackupThatIsNoRegularFileIsRefused)
{
	write_file(source, "abc");
	write_file(path("target"), "target");
	ASSERT_EQ(symlink("target", today.c_str()), 0);
	EXPECT_EQ(copy(), 7);
	EXPECT_EQ(read_file(path("target")), "target");

	std::remove(today.c_str());
	ASSERT_EQ(mkfifo(today.c_str(), 0600), 0);
	EXPECT_EQ(copy(), 7);

	std::remove(today.c_str());
	ASSERT_EQ(mkdir(today.c_str(), 0700), 0);
	EXPECT_EQ(copy(), 7);
}

}
