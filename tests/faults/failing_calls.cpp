// Preloaded into the binary under test to make calls fail that libfiu
// cannot reach: ABLAGIX_FAIL=flock fails every lock, ABLAGIX_FAIL=fclose
// fails the close of every stream open for writing (after really closing
// it, as a close that reports a late write error does).

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>

namespace {

bool
failing(const char *call)
{
	const char *chosen = std::getenv("ABLAGIX_FAIL");
	return chosen != nullptr && std::strcmp(chosen, call) == 0;
}

template <typename Function>
Function
next_definition(const char *name)
{
	return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}

extern "C" int
flock(int fd, int operation)
{
	if (failing("flock")) {
		errno = ENOLCK;
		return -1;
	}
	return next_definition<int (*)(int, int)>("flock")(fd, operation);
}

extern "C" int
fclose(FILE *stream)
{
	int access = fcntl(fileno(stream), F_GETFL) & O_ACCMODE;
	int result = next_definition<int (*)(FILE *)>("fclose")(stream);

	if (result == 0 && access != O_RDONLY && failing("fclose")) {
		errno = EIO;
		return EOF;
	}
	return result;
}
