#!/usr/bin/env bats
# The command line: exit statuses 1 to 4 with banner and usage text, the
# banner on success, and silence with /q.

load helpers

banner() {
	printf 'Ablagix, V.4.41 - datierte Sicherungskopien einer Datei\n\n'
}

usage() {
	printf 'Format: Ablagix Quelldatei Zielvorlage [/q]\n'
	printf '        Quelldatei: Datei deren Inhalt gesichert werden soll\n'
	printf '        Zielvorlage: Vorlage f\x81r Sicherungsdatei\n'
	printf '          Die Vorlage darf folgen Muster enthalten:\n'
	printf '        [JJMMTT]: wird ersetzt durch aktuelles Jahr (2 stellig), \n'
	printf '                  Monat und Tag jeweils 2 stellig\n'
	printf '        [JJJJMMTT]: wird ersetzt durch aktuelles Jahr (4 stellig), \n'
	printf '                  Monat und Tag jeweils 2 stellig\n'
	printf '        /q: Optional keine Bildschirmausgabe\n\n'
}

@test "wrong calls print banner and usage text, byte for byte, and touch nothing" {
	{ banner; usage; } > expected
	long=$(printf 's%.0s' {1..260})
	echo data > src
	while read -r status args; do
		eval "set -- $args"
		rc=0
		at '2007-01-29 12:00:00' "$@" > out || rc=$?
		[ "$rc" -eq "$status" ] || { echo "$args: exit $rc, not $status"; false; }
		cmp out expected || { echo "$args: output differs"; false; }
	done <<-'CASES'
	1
	1 src
	3 src 'b_[JJJJMMTT]' /Q
	3 src 'b_[JJJJMMTT]' -q
	4 src 'b_[JJJJMMTT]' /q extra
	2 "$long" 'b_[JJJJMMTT]' /q extra
	CASES
	[ "$(ls)" = "$(printf 'expected\nout\nsrc')" ]
}

@test "a successful run prints the banner only, and nothing with /q" {
	echo data > src
	at '2007-01-29 12:00:00' src 'b_[JJJJMMTT]' > out
	banner | cmp - out
	at '2007-01-29 12:00:00' src 'b_[JJJJMMTT]' /q > out
	[ ! -s out ]
}

@test "codes 5 to 8 end silently with /q and with the banner alone without it" {
	run at '2007-01-29 12:00:00' missing 'b_[JJJJMMTT]' /q
	[ "$status" -eq 6 ] && [ -z "$output" ]
	run at '2007-01-29 12:00:00' missing 'b_[JJJJMMTT]'
	[ "$status" -eq 6 ] && [ "$output" = "$(banner)" ]
}

@test "a UTF-8 terminal shows für; a pipe keeps the byte 0x81" {
	command -v script >/dev/null || skip "needs script(1) for a pseudo-terminal"
	LC_ALL=C.UTF-8 script -qec "$ABLAGIX" /dev/null > terminal || true
	grep -q 'Vorlage für Sicherungsdatei' terminal
	! grep -q $'\x81' terminal
	run "$ABLAGIX"
	[ "$status" -eq 1 ]
	[[ "$output" == *$'Vorlage f\x81r Sicherungsdatei'* ]]
}
