#!/usr/bin/env bats
# The Windows build under Wine: exit statuses, console bytes, and backups
# created, appended and swept. Wine shows Unix symbolic links and FIFOs to
# Windows programs as plain files, so the link and FIFO cases are left to
# the Linux suites.

load ../e2e/helpers

# The C runtime reads TZ in its own format (name, hours west of UTC,
# daylight name), not a zone database name. Wine's server runs outside
# faketime: under a frozen clock its time-outs would never expire.
setup_file() {
	export ABLAGIX_TEST_TZ=UTC0
	mkdir -p "$WINEPREFIX"
	"$WINESERVER" -p
	"$WINE" wineboot --init >/dev/null 2>&1
}

teardown_file() {
	"$WINESERVER" -k
}

banner() {
	printf 'Ablagix, V.4.41 - datierte Sicherungskopien einer Datei\r\n\r\n'
}

usage() {
	printf 'Format: Ablagix Quelldatei Zielvorlage [/q]\r\n'
	printf '        Quelldatei: Datei deren Inhalt gesichert werden soll\r\n'
	printf '        Zielvorlage: Vorlage f\x81r Sicherungsdatei\r\n'
	printf '          Die Vorlage darf folgen Muster enthalten:\r\n'
	printf '        [JJMMTT]: wird ersetzt durch aktuelles Jahr (2 stellig), \r\n'
	printf '                  Monat und Tag jeweils 2 stellig\r\n'
	printf '        [JJJJMMTT]: wird ersetzt durch aktuelles Jahr (4 stellig), \r\n'
	printf '                  Monat und Tag jeweils 2 stellig\r\n'
	printf '        /q: Optional keine Bildschirmausgabe\r\n\r\n'
}

# status ARGS...: runs at the fixed date, stdout to out, exit status echoed.
status() {
	local rc=0
	at '2007-01-29 12:00:00' "$@" > out 2>/dev/null || rc=$?
	echo "$rc"
}

@test "wrong calls give 1 to 4 with banner and usage in code page 850, CRLF" {
	{ banner; usage; } > expected
	[ "$(status)" -eq 1 ] && cmp out expected
	[ "$(status src)" -eq 1 ] && cmp out expected
	[ "$(status "$(printf 's%.0s' {1..260})" 'b_[JJJJMMTT]')" -eq 2 ] && cmp out expected
	[ "$(status src 'b_[JJJJMMTT]' /Q)" -eq 3 ] && cmp out expected
	[ "$(status src 'b_[JJJJMMTT]' /q x)" -eq 4 ] && cmp out expected
}

@test "a run prints the banner, or nothing with /q, and appends the source" {
	printf 'a\r\nb\n\x81\0' > src
	[ "$(status src 'b_[JJJJMMTT]')" -eq 0 ]
	banner | cmp - out
	[ "$(status src 'b_[JJJJMMTT]' /q)" -eq 0 ]
	[ ! -s out ]
	cat src src | cmp - b_20070129
	[ "$(status src 'k[JJMMTT]%s' /q)" -eq 0 ]
	cmp src 'k070129%s'
}

@test "exit statuses 5, 6 and 7 leave no backup behind" {
	echo data > src
	mkdir folder
	[ "$(status src plain /q)" -eq 5 ]
	[ "$(status missing 'b_[JJJJMMTT]' /q)" -eq 6 ]
	[ "$(status folder 'b_[JJJJMMTT]' /q)" -eq 6 ]
	[ "$(status src 'no/dir/b_[JJJJMMTT]' /q)" -eq 7 ]
	[ "$(status src 'folder_[JJJJMMTT]' /q)" -eq 0 ]
	mkdir b_20070129
	[ "$(status src 'b_[JJJJMMTT]' /q)" -eq 7 ]
	rmdir b_20070129
	[ "$(ls)" = "$(printf 'folder\nfolder_20070129\nout\nsrc')" ]
}

@test "a source that is today's backup is refused with 7" {
	echo data > b_20070129
	[ "$(status b_20070129 'b_[JJJJMMTT]' /q)" -eq 7 ]
	[ "$(status ./b_20070129 'b_[JJJJMMTT]' /q)" -eq 7 ]
	[ "$(cat b_20070129)" = data ]
}

@test "failing writes give 8 and leave the backup byte-identical" {
	failing_writes_leave_backups_alone
}

@test "the sweep keeps the window's edges; AX_TAGE ignores letter case" {
	echo data > src
	touch b_20061229 b_20061228 b_20061028 b_20061027 b_20070121 b_20070122
	[ "$(status src 'b_[JJJJMMTT]' /q)" -eq 0 ]
	[ "$(ls b_* | tr '\n' ' ')" = "b_20061027 b_20061229 b_20070121 b_20070122 b_20070129 " ]
	# With 7 days, 8 to 21 days back go.
	ax_tage=7 faketime -f '2007-01-29 12:00:00' "$ABLAGIX" src 'b_[JJJJMMTT]' /q 2>/dev/null
	[ "$(ls b_* | tr '\n' ' ')" = "b_20061027 b_20061229 b_20070122 b_20070129 " ]
}

@test "today is the local date of the zone TZ names" {
	echo data > src
	# 2007-01-29 23:30 UTC is the 30th one hour east of Greenwich.
	TZ=UTC0 at '2007-01-29 23:30:00' src 'utc_[JJJJMMTT]' /q 2>/dev/null
	TZ=CET-1 at '2007-01-30 00:30:00' src 'cet_[JJJJMMTT]' /q 2>/dev/null
	[ "$(ls -m)" = "cet_20070130, src, utc_20070129" ]
}

@test "two runs started together append two whole copies" {
	head -c 20000000 /dev/urandom > src
	at '2007-01-29 12:00:00' src 'b_[JJJJMMTT]' /q 2>/dev/null & first=$!
	at '2007-01-29 12:00:00' src 'b_[JJJJMMTT]' /q 2>/dev/null & second=$!
	wait "$first"
	wait "$second"
	cat src src | cmp - b_20070129
}
