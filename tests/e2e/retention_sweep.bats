#!/usr/bin/env bats
# The retention sweep of whole runs: which dates AX_TAGE protects, which
# it sweeps, and what is never deleted.

load helpers

# The days back, D+1 to 3D, that a run with retention days D sweeps.
window() {
	seq -s ' ' $(($1 + 1)) $((3 * $1))
}

@test "AX_TAGE sets the window; unusable values leave 31 days" {
	echo data > src
	while IFS='|' read -r value days; do
		rm -f b_*
		lay_out b_ 2007-01-29 302
		if [ "$value" = unset ]; then
			unset AX_TAGE
		else
			export AX_TAGE="$value"
		fi
		at '2007-01-29 08:00:00' src 'b_[JJJJMMTT]' /q
		got=$(missing_days b_ 2007-01-29 302)
		[ "$got" = "$(window "$days")" ] || { echo "AX_TAGE=$value: swept $got"; false; }
	done <<-'CASES'
	unset|31
	6|31
	7|7
	100|100
	101|31
	12abc|12
	  12|12
	-5|31
	|31
	99999999999999999999|31
	CASES
}

@test "the typical run keeps the edges of the window" {
	echo data > kasse.dat
	touch kasse_20061229.dat kasse_20061228.dat kasse_20061028.dat kasse_20061027.dat
	at '2007-01-29 08:00:00' kasse.dat 'kasse_[JJJJMMTT].dat' /q
	[ "$(ls -m)" = "kasse.dat, kasse_20061027.dat, kasse_20061229.dat, kasse_20070129.dat" ]
}

@test "the window holds across daylight-saving changes near midnight" {
	echo data > src
	while read -r zone day time days; do
		rm -f b_*
		lay_out b_ "$day" $((3 * days + 3))
		TZ=$zone at "$day $time" src 'b_[JJJJMMTT]' /q
		got=$(missing_days b_ "$day" $((3 * days + 3)))
		[ "$got" = "$(window "$days")" ] || { echo "$zone $day $time: swept $got"; false; }
	done <<-'CASES'
	Europe/Berlin 2007-11-20 23:30:00 31
	Europe/Berlin 2008-05-15 00:30:00 31
	America/Sao_Paulo 2018-12-20 00:30:00 31
	America/Sao_Paulo 2019-03-25 23:30:00 31
	CASES
}

@test "a missing source still sweeps; a template without placeholder sweeps nothing" {
	touch b_20061201 plain
	run at '2007-01-29 08:00:00' missing 'b_[JJJJMMTT]' /q
	[ "$status" -eq 6 ]
	[ ! -e b_20061201 ]
	run at '2007-01-29 08:00:00' missing plain /q
	[ "$status" -eq 5 ]
	[ -e plain ]
}

@test "a source that carries a window date survives the sweep and is copied" {
	echo data > b_20061201
	at '2007-01-29 08:00:00' b_20061201 'b_[JJJJMMTT]' /q
	[ "$(cat b_20061201)" = data ]
	cmp b_20061201 b_20070129
}

@test "a window file that cannot be opened for reading stays" {
	require_unprivileged
	echo data > src
	echo x > b_20061201
	echo x > b_20061202
	chmod 0666 src b_20061202
	chmod 0222 b_20061201
	as_unprivileged faketime -f '2007-01-29 08:00:00' "$ABLAGIX" src 'b_[JJJJMMTT]' /q
	[ -e b_20061201 ]
	[ ! -e b_20061202 ]
}

@test "a directory, a FIFO and a link's target stay; the link goes" {
	echo data > src
	echo target > target
	mkdir b_20061201
	mkfifo b_20061202
	ln -s target b_20061203
	timeout 10 faketime -f '2007-01-29 08:00:00' "$ABLAGIX" src 'b_[JJJJMMTT]' /q
	[ -d b_20061201 ] && [ -p b_20061202 ] && [ ! -L b_20061203 ]
	[ "$(cat target)" = target ]
}
