#!/usr/bin/env bats
# What a hostile or broken environment cannot make the program do: append
# through a planted link, hang on a FIFO, interleave two runs, or fail
# silently where it may not read or write.

load helpers

@test "a planted symlink at today's name gives 7 and leaves its target alone" {
	echo data > src
	echo precious > target
	ln -s target b_20070129
	run at '2007-01-29 12:00:00' src 'b_[JJJJMMTT]' /q
	[ "$status" -eq 7 ]
	[ "$(cat target)" = precious ]
	ln -sf no-such-file b_20070130
	run at '2007-01-30 12:00:00' src 'b_[JJJJMMTT]' /q
	[ "$status" -eq 7 ]
	[ ! -e no-such-file ]
}

@test "a FIFO or a directory at today's name gives 7 without hanging" {
	echo data > src
	mkfifo b_20070129
	run timeout 10 faketime -f '2007-01-29 12:00:00' "$ABLAGIX" src 'b_[JJJJMMTT]' /q
	[ "$status" -eq 7 ]
	# A FIFO with a reader opens; it must still be refused.
	sleep 20 < b_20070129 &
	reader=$!
	run timeout 10 faketime -f '2007-01-29 12:00:00' "$ABLAGIX" src 'b_[JJJJMMTT]' /q
	kill "$reader"
	[ "$status" -eq 7 ]
	mkdir b_20070130
	run at '2007-01-30 12:00:00' src 'b_[JJJJMMTT]' /q
	[ "$status" -eq 7 ]
}

@test "two runs started together append two whole copies" {
	head -c 50000000 /dev/urandom > src
	at '2007-01-29 12:00:00' src 'b_[JJJJMMTT]' /q & first=$!
	at '2007-01-29 12:00:00' src 'b_[JJJJMMTT]' /q & second=$!
	wait "$first"
	wait "$second"
	cat src src | cmp - b_20070129
}

@test "an unreadable source gives 6 and an unwritable directory 7" {
	require_unprivileged
	echo data > src
	chmod 0600 src
	run as_unprivileged faketime -f '2007-01-29 12:00:00' "$ABLAGIX" src 'b_[JJJJMMTT]' /q
	[ "$status" -eq 6 ]
	[ ! -e b_20070129 ]

	chmod 0644 src
	mkdir locked
	chmod 0555 locked
	run as_unprivileged faketime -f '2007-01-29 12:00:00' "$ABLAGIX" src 'locked/b_[JJJJMMTT]' /q
	[ "$status" -eq 7 ]
	[ -z "$(ls locked)" ]
}
