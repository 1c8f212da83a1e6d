# Shared set-up of the end-to-end suites: a scratch directory, the binary
# under test, and runs at a fixed local date and time zone.

: "${ABLAGIX:?set ABLAGIX to the binary under test}"

setup() {
	work=$(mktemp -d "${BATS_TMPDIR:-/tmp}/ablagix-e2e.XXXXXX")
	cd "$work" || return 1
	unset AX_TAGE
	export TZ=${ABLAGIX_TEST_TZ:-Europe/Berlin}
}

teardown() {
	cd / && chmod -R u+rwx "$work" 2>/dev/null
	rm -rf "$work"
}

# at 'YYYY-MM-DD hh:mm:ss' ARGS...: runs the binary at that local time, the
# clock frozen there; at @SECONDS ARGS... names the instant instead.
at() {
	local when=$1
	shift
	case $when in
	@*) when=$(date -d "$when" '+%Y-%m-%d %H:%M:%S') ;;
	esac
	faketime -f "$when" "$ABLAGIX" "$@"
}

# The bytes of a file, as hex, for exact comparisons.
bytes_of() {
	od -An -tx1 -v "$1" | tr -d ' \n'
}

# as_unprivileged CMD...: runs a command as a user that file modes bind.
# Root ignores them, so root drops to nobody; the scratch directory is
# opened to that user first.
as_unprivileged() {
	if [ "$(id -u)" -ne 0 ]; then
		"$@"
		return
	fi
	chmod 0777 "$work"
	setpriv --reuid=nobody --regid=nogroup --clear-groups \
		env ABLAGIX="$ABLAGIX" TZ="$TZ" "$@"
}

# Skips the test where no unprivileged user can be had.
require_unprivileged() {
	if [ "$(id -u)" -eq 0 ] && ! { command -v setpriv && id nobody; } >/dev/null 2>&1; then
		skip "needs setpriv and the user nobody when run as root"
	fi
}

# dates_back 'YYYY-MM-DD' COUNT: the dates from that day COUNT-1 days back,
# as YYYYMMDD, one a line, counted on the calendar.
dates_back() {
	local back
	for ((back = 0; back < $2; back++)); do
		echo "$1 -$back days"
	done | TZ=UTC date -f - +%Y%m%d
}

# lay_out PREFIX 'YYYY-MM-DD' COUNT: one file for each of COUNT dates back.
lay_out() {
	local day
	for day in $(dates_back "$2" "$3"); do
		echo x > "$1$day"
	done
}

# missing_days PREFIX 'YYYY-MM-DD' COUNT: the days back whose file is gone,
# as one line.
missing_days() {
	local back=0 day gone=()
	for day in $(dates_back "$2" "$3"); do
		[ -e "$1$day" ] || gone+=("$back")
		back=$((back + 1))
	done
	echo "${gone[*]}"
}

# with_fault POINT ARGS...: runs the binary on 29 January 2007 with one
# call failing every time: a libfiu failure point (posix/...), or a call
# that the preloaded failing_calls library fails (flock, fclose).
with_fault() {
	local point=$1 preload=$FAKETIME_LIBRARY
	shift
	case $point in
	posix/*)
		preload="$FIU_PRELOAD_DIRECTORY/fiu_run_preload.so $FIU_PRELOAD_DIRECTORY/fiu_posix_preload.so $preload"
		FIU_ENABLE="enable name=$point" FIU_CTRL_FIFO='' \
			LD_PRELOAD="$preload" FAKETIME='2007-01-29 12:00:00' "$ABLAGIX" "$@"
		;;
	*)
		ABLAGIX_FAIL=$point LD_PRELOAD="$ABLAGIX_FAULTS $preload" \
			FAKETIME='2007-01-29 12:00:00' "$ABLAGIX" "$@"
		;;
	esac
}

# with_file_limit KIB 'YYYY-MM-DD hh:mm:ss' ARGS...: runs the binary where
# no file may grow past KIB kibibytes, as on a full disk: writes beyond
# fail (SIGXFSZ ignored) instead of killing the process.
with_file_limit() {
	local limit=$1 when=$2
	shift 2
	(
		trap '' XFSZ
		ulimit -f "$limit"
		exec faketime -f "$when" "$ABLAGIX" "$@" 2>/dev/null
	)
}

# Writes that fail half-way give 8 and leave an existing backup as it was,
# and no backup where there was none.
failing_writes_leave_backups_alone() {
	head -c 300000 /dev/urandom > src
	head -c 100000 /dev/urandom > b_20070129
	cp b_20070129 before
	run with_file_limit 300 '2007-01-29 12:00:00' src 'b_[JJJJMMTT]' /q
	[ "$status" -eq 8 ]
	cmp before b_20070129
	run with_file_limit 200 '2007-01-30 12:00:00' src 'b_[JJJJMMTT]' /q
	[ "$status" -eq 8 ]
	[ ! -e b_20070130 ]
}
