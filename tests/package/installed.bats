#!/usr/bin/env bats
# The installed Debian package: the binary on PATH does a whole run, and
# man finds its page. Run by CI after dpkg -i, as
# ABLAGIX=/usr/bin/ablagix bats tests/package/installed.bats

load ../e2e/helpers

@test "the installed binary sweeps and appends, from PATH" {
	[ "$(command -v ablagix)" = "$ABLAGIX" ]
	echo data > kasse.dat
	touch kasse_20070121.dat kasse_20070122.dat
	AX_TAGE=7 at '2007-01-29 12:00:00' kasse.dat 'kasse_[JJJJMMTT].dat' /q
	cmp kasse.dat kasse_20070129.dat
	[ ! -e kasse_20070121.dat ] && [ -e kasse_20070122.dat ]
}

@test "man finds the manual page" {
	[ "$(man -w ablagix)" = /usr/share/man/man1/ablagix.1.gz ]
	MANWIDTH=80 man ablagix 2>/dev/null | grep -q 'EXIT STATUS'
}
