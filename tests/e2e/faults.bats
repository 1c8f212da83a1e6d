#!/usr/bin/env bats
# Fault injection on the real binary: each call that can fail fails, one
# at a time, and the run must say so in its exit status and leave every
# backup byte for byte as it was.

load helpers

# Failure point, and the exit status it must give. libfiu's preload
# crashes inside a sanitized process, so a sanitized binary is put only
# through the failures of our own preload.
faults() {
	if [ "${ABLAGIX_SANITIZED:-0}" = 1 ]; then
		grep -v '^posix/'
	else
		cat
	fi <<-'FAULTS'
	posix/stdio/rw/fread 6
	posix/stdio/rw/fwrite 8
	posix/stdio/fflush 8
	posix/io/sync/fsync 8
	posix/stdio/oc/fdopen 7
	posix/io/oc/open 7
	fclose 8
	flock 7
	FAULTS
}

@test "a failing call leaves an existing backup byte-identical" {
	head -c 200000 /dev/urandom > src
	head -c 70000 /dev/urandom > b_20070129
	cp b_20070129 before
	while read -r point status; do
		rc=0
		with_fault "$point" src 'b_[JJJJMMTT]' /q || rc=$?
		[ "$rc" -eq "$status" ] || { echo "$point: exit $rc, not $status"; false; }
		cmp before b_20070129 || { echo "$point: backup changed"; false; }
	done < <(faults)
}

@test "a failing call leaves no backup behind where there was none" {
	head -c 200000 /dev/urandom > src
	while read -r point status; do
		rc=0
		with_fault "$point" src 'b_[JJJJMMTT]' /q || rc=$?
		[ "$rc" -eq "$status" ] || { echo "$point: exit $rc, not $status"; false; }
		[ ! -e b_20070129 ] || { echo "$point: backup left behind"; false; }
	done < <(faults)
}

@test "without a fault the same runs succeed" {
	head -c 200000 /dev/urandom > src
	with_fault none src 'b_[JJJJMMTT]' /q
	cmp src b_20070129
}
