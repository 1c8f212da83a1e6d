#!/usr/bin/env bats
# Whole runs of the real binary at fixed dates: today's name, appending,
# and the exit status of each way a run can fail.

load helpers

@test "the run appends the source to today's backup, from either placeholder" {
	printf 'first\0\x81\r\n' > kasse.dat
	at '2007-01-29 12:00:00' kasse.dat 'kasse_[JJJJMMTT].dat' /q
	at '2007-01-29 23:59:00' kasse.dat 'kasse_[JJJJMMTT].dat' /q
	at '2007-01-29 12:00:00' kasse.dat 'k[JJMMTT]%s%n' /q
	[ "$(bytes_of kasse_20070129.dat)" = "$(bytes_of kasse.dat)$(bytes_of kasse.dat)" ]
	cmp kasse.dat 'k070129%s%n'
}

@test "today is the local date of the time zone in force" {
	echo data > src
	# 2007-01-29 23:30 UTC is already the 30th in Berlin.
	TZ=UTC at @1170113400 src 'utc_[JJJJMMTT]' /q
	TZ=Europe/Berlin at @1170113400 src 'berlin_[JJJJMMTT]' /q
	TZ=America/Sao_Paulo at @1170113400 src 'sao_paulo_[JJJJMMTT]' /q
	[ "$(ls -m)" = "berlin_20070130, sao_paulo_20070129, src, utc_20070129" ]
}

@test "an empty source leaves an empty backup and exits 0" {
	: > empty
	at '2007-01-29 12:00:00' empty 'b_[JJJJMMTT]' /q
	[ -f b_20070129 ] && [ ! -s b_20070129 ]
}

@test "exit statuses 5, 6 and 7 leave no backup behind" {
	echo data > src
	run at '2007-01-29 12:00:00' src 'plain.bak' /q
	[ "$status" -eq 5 ]
	run at '2007-01-29 12:00:00' missing 'b_[JJJJMMTT]' /q
	[ "$status" -eq 6 ]
	run at '2007-01-29 12:00:00' . 'b_[JJJJMMTT]' /q
	[ "$status" -eq 6 ]
	run at '2007-01-29 12:00:00' src 'no/such/dir/b_[JJJJMMTT]' /q
	[ "$status" -eq 7 ]
	run at '2007-01-29 12:00:00' b_20070129 'b_[JJJJMMTT]' /q
	[ "$status" -eq 6 ]
	[ "$(ls)" = src ]
}

@test "a source that is today's backup is refused with 7 and left unchanged" {
	echo data > b_20070129
	ln -s b_20070129 alias
	run at '2007-01-29 12:00:00' alias 'b_[JJJJMMTT]' /q
	[ "$status" -eq 7 ]
	[ "$(cat b_20070129)" = data ]
}

@test "failing writes exit 8 and leave the earlier backup byte-identical" {
	failing_writes_leave_backups_alone
}
